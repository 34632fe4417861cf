// The words of a Linux desktop on X11: keys named as PC keyboards label them (modifiers
// first in the order Ctrl, Alt, Shift, Super, joined by "+": "Alt+Super+←"; command is
// Ctrl, control is Super, option is Alt), the panel's tray (or the button at the top edge
// where there is none), workspaces, and updates from the package manager or, for a build
// from source, from a newer build.
// Things it has no counterpart for (a notch, a Dock) go unmentioned.
#pragma once

#include "Platform/Wording.h"
#include "Platform/X11/UpdateSource.h"

namespace kestr {

class X11Wording : public Wording {
public:
    explicit X11Wording(UpdateSource updates = UpdateSource()) : updates_(std::move(updates)) {}
    std::vector<std::string> whereKestrLives() const override;
    std::string otherDesktopsNote() const override;
    std::string unplacedReason() const override;
    std::string newWindowRefused(const std::string& bundleID, std::int64_t code,
                                 const std::string& message) const override;
    std::string technicalDetails() const override {
        return "Technical details are in the system log, under \u201Ckestr\u201D.";
    }
    std::string updatesNote() const override { return updates_.text(); }
    std::optional<std::string> windowListWritten(const std::string& path) const override;
    std::string shortcut(std::uint32_t carbonModifiers, const std::string& keyLabel) const override;
    // "Ctrl Alt ⇧ Sup" and the key, a thin space apart ("Alt ⇧ Sup 1"): Shift as the
    // arrow its key carries, Super cut to three letters.
    std::string shortcutShort(std::uint32_t carbonModifiers, const std::string& keyLabel) const override;
    std::string modifierKey(std::uint32_t carbonModifier) const override;
    // The tab lists the keys other programs hold and the programs that take such keys.
    std::string snapsTabCommand() const override { return "Check Shortcut Conflicts\u2026"; }
    // Function keys and the keys of the navigation block by what their caps say ("F5",
    // "Home", "PgUp"); every other key as the shared table labels it.
    std::string keyName(std::uint32_t keyCode) const override;

private:
    UpdateSource updates_;
};

}  // namespace kestr
