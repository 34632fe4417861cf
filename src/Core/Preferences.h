// Typed access to the two settings read in several places: the shortcut that captures
// the current arrangement and the modifier that turns a window drag into a drag snap.
// Both live in the standard user defaults.
#pragma once

#include <cstdint>
#include <optional>

#include "Core/Hotkey.h"
#include "Platform/Defaults.h"

namespace kestr {

class Preferences {
public:
    static constexpr const char* captureHotkeyKey = "kestr.captureHotkey";
    static constexpr const char* dragSnapModifierKey = "kestr.dragSnapModifier";

    // Over the platform's standard user defaults, taken once.
    Preferences();
    explicit Preferences(DefaultsDomain& domain) : defaults(domain) {}

    static Preferences& shared();

    DefaultsDomain& defaults;

    // The hot key stored as JSON data; none stored, or anything that does not decode as
    // a hot key, gives nullopt (the registry then uses its default shortcut).
    std::optional<Hotkey> captureHotkey() const;
    // nullopt removes the key.
    void setCaptureHotkey(const std::optional<Hotkey>& hotkey);

    // The stored integer as window-system modifier flags (see ModifierFlag); command
    // when nothing is stored. A stored 0 is the empty set.
    std::uint64_t dragSnapModifier() const;

    // A stored setting read the way the user defaults read one: absent is false or 0;
    // numbers, booleans and numeric text all count. Every reader of a switch goes
    // through here, so start-up, the menu and the settings page agree.
    bool boolValue(const char* key) const;
    std::int64_t integerValue(const char* key) const;
    // Stores a switch in the type already stored under the key (an integer stays an
    // integer, a real a real, text text), else as a boolean, so that whoever wrote it
    // reads it back the same way.
    void setBoolValue(const char* key, bool on);
};

}  // namespace kestr
