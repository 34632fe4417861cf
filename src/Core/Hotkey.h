// A global shortcut: a virtual key code with a Carbon modifier mask, and the texts that
// show it to people and put it on menu items.
#pragma once

#include <cstdint>
#include <string>

namespace kestr {

// Bits of Hotkey::modifiers.
namespace CarbonModifier {
constexpr std::uint32_t command = 0x100;
constexpr std::uint32_t shift = 0x200;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
}  // namespace CarbonModifier

struct Hotkey {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;

    // Glyphs of the modifiers present (control, option, shift, command), then the key's
    // label: key code 36 with 0x1900 gives "⌃⌥⌘↩".
    std::string displayString() const;
    // The key's label; a code without one gives "?" and the code in decimal.
    static std::string label(std::uint32_t keyCode);
    // The lower-case character for a menu item's key equivalent, or "" for keys that
    // never become one. Only the key code counts.
    std::string menuKeyEquivalent() const;
    // The Carbon mask of window-system modifier flags (see ModifierFlag in
    // Platform/EventMonitors.h); every other flag is dropped.
    static std::uint32_t carbonModifiers(std::uint64_t modifierFlags);

    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

}  // namespace kestr
