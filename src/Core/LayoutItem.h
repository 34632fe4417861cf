// One window of a kest: which application, how to find the window, where it goes, how
// to launch it and what content it showed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Core/Url.h"
#include "Core/Uuid.h"
#include "Core/WindowMatcher.h"

namespace kestr {

struct LayoutItem {
    Uuid id;
    std::string appBundleID;
    std::string appName;
    WindowMatcher windowMatcher;
    ScreenFrame targetFrame;
    std::optional<ScreenFrame> capturedFrame;
    std::optional<std::string> capturedWindowTitle;
    std::optional<std::string> capturedSpaceLabel;  // "This Space" or "Other Space"
    bool launchIfMissing = true;
    // Launch options kept and written back unchanged (openURL is used when applying).
    std::optional<std::vector<std::string>> launchArguments;
    std::optional<Url> openURL;
    std::optional<std::vector<Url>> openFiles;
    std::optional<std::vector<Url>> openFolders;
    std::optional<std::string> runShellCommand;
    // Window content.
    std::optional<std::string> finderPath;
    std::optional<std::string> browserURL;
    std::optional<std::vector<std::string>> browserTabs;
    std::optional<std::int64_t> browserActiveTabIndex;
    std::optional<std::vector<std::string>> terminalTabs;
    std::optional<std::string> terminalProfile;
    std::optional<std::string> terminalSplitMode;  // "columns" or "rows"
    std::optional<std::int64_t> finderSidebarWidth;

    // The rectangle the item's window fills in its kest (a slot of drag snap): the target
    // frame while it stands on the display the item was recorded on (an edge move changes
    // only the target), else the recorded frame, which names the item's display.
    const ScreenFrame& slotFrame() const {
        if (capturedFrame && capturedFrame->displayUUID != targetFrame.displayUUID) return *capturedFrame;
        return targetFrame;
    }

    friend bool operator==(const LayoutItem&, const LayoutItem&) = default;
};

}  // namespace kestr
