#include "Platform/X11/X11Wording.h"

namespace kestr {

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

}  // namespace kestr
