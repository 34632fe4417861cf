// Global hot keys of the simulated desktop: registrations of this program, keys held
// by other programs, and presses that a test makes.
#pragma once

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "Platform/HotKeys.h"

namespace kestr {

class SimHotKeys : public HotKeys {
public:
    std::int32_t installApplicationHandler(HotKeyEventHandler handler) override;
    HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id) override;
    std::int32_t unregisterHotKey(std::uint64_t reference) override;
    bool hasKey(std::uint32_t keyCode) override { return !missingKeys.count(keyCode); }
    std::uint32_t modifiersHeldElsewhere(std::uint32_t modifiers) override { return modifiers & heldModifiers; }
    std::optional<ModifierHolder> modifierHolder(std::uint32_t modifier) override {
        return modifier & heldModifiers ? holder : std::nullopt;
    }

    struct Registration {
        std::uint64_t reference = 0;
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        EventHotKeyID id;
        friend bool operator==(const Registration&, const Registration&) = default;
    };
    // This program's registrations, oldest first.
    std::vector<Registration> registrations() const;
    bool hasHandler() const { return static_cast<bool>(handler_); }

    // Another program holds the key: registering it fails.
    void holdByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers);
    void releaseByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers);
    // Keys this keyboard does not have: registering one is refused as invalid.
    std::set<std::uint32_t> missingKeys;
    // Modifiers whose own keys another program holds (CarbonModifier bits).
    std::uint32_t heldModifiers = 0;
    // Who holds them, when the desktop tells.
    std::optional<ModifierHolder> holder;

    // The user presses a key: when this program registered it, the handler gets the
    // event at once. Returns whether it was delivered.
    bool pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers);
    // Hands the handler an event as given (one without a direct object, or none);
    // returns the handler's status, or eventParameterNotFound without a handler.
    std::int32_t deliver(const HotKeyEvent* event);

private:
    HotKeyEventHandler handler_;
    std::map<std::uint64_t, Registration> registrations_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere_;
    std::uint64_t nextReference_ = 1;
};

}  // namespace kestr
