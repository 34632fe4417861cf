#include "Core/Hotkey.h"

#include <array>
#include <string_view>

#include "Platform/EventMonitors.h"
#include "Platform/KeyLabels.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// Menu key equivalents of key codes 0...46; an empty entry has none.
constexpr std::array<std::string_view, 47> menuKeys = {"a", "s", "d", "f", "h", "g", "z", "x", "c", "v", "",  "b",
                                                       "q", "w", "e", "r", "y", "t", "1", "2", "3", "4", "6", "5",
                                                       "=", "9", "7", "-", "8", "0", "",  "o", "u", "",  "i", "p",
                                                       "",  "l", "j", "",  "k", "",  "",  "",  "",  "n", "m"};

}  // namespace

std::string Hotkey::displayString() const {
    const Wording& words = platform().wording();
    return words.shortcut(modifiers, words.keyName(keyCode));
}

std::string Hotkey::shortDisplayString() const {
    const Wording& words = platform().wording();
    return words.shortcutShort(modifiers, words.keyName(keyCode));
}

std::string Hotkey::modifierText(std::uint32_t modifiers) { return platform().wording().shortcut(modifiers, ""); }

std::string Hotkey::label(std::uint32_t keyCode) { return keyLabel(keyCode); }

std::string Hotkey::menuKeyEquivalent() const {
    if (keyCode < menuKeys.size()) return std::string(menuKeys[keyCode]);
    return "";
}

std::uint32_t Hotkey::carbonModifiers(std::uint64_t flags) {
    std::uint32_t mask = 0;
    if (flags & ModifierFlag::command) mask |= CarbonModifier::command;
    if (flags & ModifierFlag::shift) mask |= CarbonModifier::shift;
    if (flags & ModifierFlag::option) mask |= CarbonModifier::option;
    if (flags & ModifierFlag::control) mask |= CarbonModifier::control;
    return mask;
}

}  // namespace kestr
