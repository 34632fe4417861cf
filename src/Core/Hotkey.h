// A global shortcut: a virtual key code with a Carbon modifier mask, and the texts that
// show it to people and put it on menu items.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

#include "Platform/HotKeys.h"

namespace kestr {

// Hotkey::modifiers holds CarbonModifier bits (Platform/HotKeys.h).
struct Hotkey {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;

    // The modifiers present, then the key's label, in this desktop's words: key code 36
    // with 0x1900 gives "⌃⌥⌘↩" on the simulated desktop, "Ctrl+Alt+Super+↩" on X11.
    std::string displayString() const;
    // The same where it must fit a small space, every modifier kept: "⌃⌥⌘↩" on the
    // simulated desktop, "Ctrl Alt Sup ↩" on X11.
    std::string shortDisplayString() const;
    // The modifiers of a mask alone, in this desktop's words ("⌃⌥" or "Alt+Super").
    static std::string modifierText(std::uint32_t modifiers);
    // The key's label; a code without one gives "?" and the code in decimal.
    static std::string label(std::uint32_t keyCode);
    // The lower-case character for a menu item's key equivalent, or "" for keys that
    // never become one. Only the key code counts.
    std::string menuKeyEquivalent() const;
    // The Carbon mask of window-system modifier flags (see ModifierFlag in
    // Platform/EventMonitors.h); every other flag is dropped.
    static std::uint32_t carbonModifiers(std::uint64_t modifierFlags);

    friend bool operator==(const Hotkey&, const Hotkey&) = default;
    friend auto operator<=>(const Hotkey&, const Hotkey&) = default;
};

}  // namespace kestr
