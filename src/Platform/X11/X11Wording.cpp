#include "Platform/X11/X11Wording.h"

#include "Platform/HotKeys.h"

namespace kestr {

namespace {

struct ModifierName {
    std::uint32_t bit;
    const char* name;
};
constexpr ModifierName names[] = {
    {CarbonModifier::command, "Ctrl"},
    {CarbonModifier::option, "Alt"},
    {CarbonModifier::shift, "Shift"},
    {CarbonModifier::control, "Super"},
};

}  // namespace

std::vector<std::string> X11Wording::whereKestrLives() const {
    return {"kestr lives in your panel's tray \u2014 or, where the panel has none, in a small button at the top "
            "right of the screen. It has no main window."};
}

std::string X11Wording::otherDesktopsNote() const { return "Windows on other workspaces aren't included."; }

std::string X11Wording::unplacedReason() const {
    return "their window is likely on another workspace, where kestr does not move windows";
}

std::string X11Wording::newWindowRefused(const std::string& bundleID, std::int64_t,
                                         const std::string& message) const {
    // Script numbers mean nothing here; the message says what happened.
    return bundleID + " did not open a new window (" + message + ")";
}

std::string X11Wording::updatesNote() const {
    return "kestr is updated by your system's package manager, together with your other software.";
}

std::optional<std::string> X11Wording::windowListWritten(const std::string& path) const {
    return "Window list saved to " + path;
}

std::string X11Wording::shortcut(std::uint32_t modifiers, const std::string& keyLabel) const {
    std::string out;
    for (const ModifierName& m : names) {
        if (!(modifiers & m.bit)) continue;
        if (!out.empty()) out += "+";
        out += m.name;
    }
    if (keyLabel.empty()) return out;
    return out.empty() ? keyLabel : out + "+" + keyLabel;
}

std::string X11Wording::modifierKey(std::uint32_t modifier) const { return shortcut(modifier, ""); }

}  // namespace kestr
