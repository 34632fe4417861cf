// Global hot keys: one application-level handler, and key registrations carrying a
// four-character signature and a 32-bit identifier.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestr {

struct EventHotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    friend bool operator==(const EventHotKeyID&, const EventHotKeyID&) = default;
};

// One hot-key press. The direct object is missing when the event carries no key.
struct HotKeyEvent {
    std::optional<EventHotKeyID> directObject;
};

// Modifier bits of a hot key.
namespace CarbonModifier {
constexpr std::uint32_t command = 0x100;
constexpr std::uint32_t shift = 0x200;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
// Each bit alone, in the order the X11 desktop names them (Ctrl, Alt, Shift, Super).
constexpr std::uint32_t each[] = {command, option, shift, control};
}  // namespace CarbonModifier

namespace HotKeyStatus {
constexpr std::int32_t noErr = 0;
constexpr std::int32_t eventParameterNotFound = -9870;
constexpr std::int32_t eventHotKeyExists = -9878;
constexpr std::int32_t eventHotKeyInvalid = -9879;
}  // namespace HotKeyStatus

// A program that keeps a modifier key for itself: its name ("IceWM") and what frees the
// key, a clause that follows "To free it, ".
struct ModifierHolder {
    std::string name;
    std::string howToFree;
    friend bool operator==(const ModifierHolder&, const ModifierHolder&) = default;
};

// The handler gets the event, or null, and returns a status.
using HotKeyEventHandler = std::function<std::int32_t(const HotKeyEvent* event)>;

struct HotKeyRegistration {
    std::int32_t status = HotKeyStatus::noErr;
    std::optional<std::uint64_t> reference;
};

constexpr std::uint32_t fourCharCode(const char (&s)[5]) {
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

class HotKeys {
public:
    virtual ~HotKeys() = default;
    virtual std::int32_t installApplicationHandler(HotKeyEventHandler handler) = 0;
    virtual HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id) = 0;
    virtual std::int32_t unregisterHotKey(std::uint64_t reference) = 0;
    // Whether this keyboard has the key (a key code), asked without taking it: a
    // registration of a key it lacks is refused as invalid.
    virtual bool hasKey(std::uint32_t keyCode) {
        (void)keyCode;
        return true;
    }
    // Of the given modifiers (CarbonModifier bits), those whose own keys another program
    // holds for itself, so that every shortcut with one of them goes to that program (a
    // window manager that opens its menu on the bare Super key). 0 where the desktop
    // cannot tell.
    virtual std::uint32_t modifiersHeldElsewhere(std::uint32_t modifiers) {
        (void)modifiers;
        return 0;
    }
    // Who keeps a modifier key (one CarbonModifier bit) for itself and how to free it,
    // where the desktop can tell: the window manager running, when it is one known to
    // keep that key. Ask only about a modifier held elsewhere.
    virtual std::optional<ModifierHolder> modifierHolder(std::uint32_t carbonModifier) {
        (void)carbonModifier;
        return std::nullopt;
    }
};

}  // namespace kestr
