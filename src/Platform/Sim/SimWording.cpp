#include "Platform/Sim/SimWording.h"

#include "Platform/HotKeys.h"

namespace kestr {

std::vector<std::string> SimWording::whereKestrLives() const {
    return {
        "kestr lives in your menu bar, up at the top \u2191 \u2014 it has no Dock icon and no main window.",
        "Can't find its icon? It may be hidden behind the notch. Drag other menu-bar icons aside (hold \u2318 and "
        "drag) to make room.",
    };
}

std::string SimWording::otherDesktopsNote() const {
    return "Windows on other Spaces (Mission Control) aren't included \u2014 a macOS limitation.";
}

std::string SimWording::unplacedReason() const {
    return "their window is likely on another Space (a different Mission Control desktop), which macOS won't let "
           "apps move across";
}

std::string SimWording::newWindowRefused(const std::string& bundleID, std::int64_t code,
                                         const std::string& message) const {
    return bundleID + " refused a new window (AppleScript " + std::to_string(code) + ": " + message + ").";
}

std::string SimWording::updatesNote() const {
    return "kestr checks for updates automatically in the background. You can also check manually anytime \u2014 "
           "updates are verified and installed in place.";
}

std::string SimWording::shortcut(std::uint32_t modifiers, const std::string& keyLabel) const {
    std::string out;
    if (modifiers & CarbonModifier::control) out += "\u2303";
    if (modifiers & CarbonModifier::option) out += "\u2325";
    if (modifiers & CarbonModifier::shift) out += "\u21E7";
    if (modifiers & CarbonModifier::command) out += "\u2318";
    return out + keyLabel;
}

std::string SimWording::modifierKey(std::uint32_t modifier) const {
    switch (modifier) {
        case CarbonModifier::command:
            return "\u2318 Command";
        case CarbonModifier::option:
            return "\u2325 Option";
        case CarbonModifier::control:
            return "\u2303 Control";
        case CarbonModifier::shift:
            return "\u21E7 Shift";
        default:
            return shortcut(modifier, "");
    }
}

}  // namespace kestr
