// The desktop's own words for its things, for the texts that name them: its keys (the
// simulated desktop writes shortcuts in modifier glyphs, "⌃⌥⌘↩", a Linux desktop names
// the keys as its keyboards label them, "Ctrl+Alt+Super+↩"), where the program's status
// item lives, what the desktop calls its virtual desktops, how it updates software.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/KeyLabels.h"

namespace kestr {

class Wording {
public:
    virtual ~Wording() = default;

    // Where the status item lives and how to find it, one sentence each (the welcome
    // step of onboarding).
    virtual std::vector<std::string> whereKestrLives() const = 0;
    // The save dialog's note on the windows a capture leaves out.
    virtual std::string otherDesktopsNote() const = 0;
    // Why open applications got no window here, after "… on this screen — " and before
    // their names.
    virtual std::string unplacedReason() const = 0;
    // An application's refusal to open a new window, with the script's error.
    virtual std::string newWindowRefused(const std::string& bundleID, std::int64_t code,
                                         const std::string& message) const = 0;
    // The last sentence of an alert about a failure: where its log lines can be read.
    virtual std::string technicalDetails() const = 0;
    // The settings page's note on updates.
    virtual std::string updatesNote() const = 0;
    // Said once the window list is written to `path`; none where showing the file is
    // enough.
    virtual std::optional<std::string> windowListWritten(const std::string& path) const = 0;
    // A shortcut: the modifiers of a CarbonModifier mask (Platform/HotKeys.h), then the
    // key's label; with an empty label, the modifiers alone.
    virtual std::string shortcut(std::uint32_t carbonModifiers, const std::string& keyLabel) const = 0;
    // The same shortcut where it must fit a small space (a badge in the panel's snap
    // grid): every modifier kept, in fewer letters; by default the full form.
    virtual std::string shortcutShort(std::uint32_t carbonModifiers, const std::string& keyLabel) const {
        return shortcut(carbonModifiers, keyLabel);
    }
    // The Snap submenu's last command, which opens the Snaps tab of the manager window:
    // where shortcuts come from other tools of the desktop, or are fought over with it.
    virtual std::string snapsTabCommand() const = 0;
    // One modifier key (a single CarbonModifier bit) as a list of choices names it.
    virtual std::string modifierKey(std::uint32_t carbonModifier) const = 0;
    // The label of a key of the stored key-code space, as this desktop's keyboards name
    // it; by default the shared table of key labels.
    virtual std::string keyName(std::uint32_t keyCode) const { return keyLabel(keyCode); }
};

}  // namespace kestr
