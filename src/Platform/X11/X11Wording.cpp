#include "Platform/X11/X11Wording.h"

#include <X11/keysym.h>

#include "Platform/HotKeys.h"
#include "Platform/X11/X11KeyTable.h"

namespace kestr {

namespace {

struct ModifierName {
    std::uint32_t bit;
    const char* name;
    const char* shortName;
};
constexpr ModifierName names[] = {
    {CarbonModifier::command, "Ctrl", "Ctrl"},
    {CarbonModifier::option, "Alt", "Alt"},
    {CarbonModifier::shift, "Shift", "\u21E7"},
    {CarbonModifier::control, "Super", "Sup"},
};

// The modifiers in the order above, then the key, joined by `separator`.
std::string joined(std::uint32_t modifiers, const std::string& keyLabel, bool shortNames, const char* separator) {
    std::string out;
    for (const ModifierName& m : names) {
        if (!(modifiers & m.bit)) continue;
        if (!out.empty()) out += separator;
        out += shortNames ? m.shortName : m.name;
    }
    if (keyLabel.empty()) return out;
    return out.empty() ? keyLabel : out + separator + keyLabel;
}

struct KeyCapName {
    xcb_keysym_t keysym;
    const char* name;
};
constexpr KeyCapName capNames[] = {
    {XK_Home, "Home"}, {XK_End, "End"},   {XK_Prior, "PgUp"},
    {XK_Next, "PgDn"}, {XK_Help, "Help"}, {XK_KP_Enter, "Enter"},
};

}  // namespace

std::vector<std::string> X11Wording::whereKestrLives() const {
    return {
        "kestr lives in your panel's tray \u2014 or, where the panel has none, in a small button at the top "
        "right of the screen. It has no main window."};
}

std::string X11Wording::otherDesktopsNote() const { return "Windows on other workspaces aren't included."; }

std::string X11Wording::unplacedReason() const {
    return "their window is likely on another workspace, where kestr does not move windows";
}

std::string X11Wording::newWindowRefused(const std::string& bundleID, std::int64_t, const std::string& message) const {
    // Script numbers mean nothing here; the message says what happened.
    return bundleID + " did not open a new window (" + message + ")";
}

std::optional<std::string> X11Wording::windowListWritten(const std::string& path) const {
    return "Window list saved to " + path;
}

std::string X11Wording::shortcut(std::uint32_t modifiers, const std::string& keyLabel) const {
    return joined(modifiers, keyLabel, false, "+");
}

std::string X11Wording::shortcutShort(std::uint32_t modifiers, const std::string& keyLabel) const {
    return joined(modifiers, keyLabel, true, "\u2009");
}

std::string X11Wording::modifierKey(std::uint32_t modifier) const { return shortcut(modifier, ""); }

std::string X11Wording::keyName(std::uint32_t keyCode) const {
    const auto keysym = X11KeyTable::keysym(keyCode);
    if (keysym && *keysym >= XK_F1 && *keysym <= XK_F35) return "F" + std::to_string(*keysym - XK_F1 + 1);
    for (const KeyCapName& k : capNames) {
        if (keysym == k.keysym) return k.name;
    }
    return keyLabel(keyCode);
}

}  // namespace kestr
