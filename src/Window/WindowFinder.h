// Pairing a kest item with one of its application's windows: the matcher narrows the
// windows, nearness to the saved frame breaks ties, and a window whose identity is in
// doubt must already cover the item's slot.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Core/WindowMatcher.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"

namespace kestr {

class WindowFinder {
public:
    WindowFinder() = delete;

    // What findWindow knows about the item beyond its matcher; the defaults ask for
    // nothing more than the matcher.
    struct Options {
        // Windows already given to other items.
        AXElementList excluding{};
        // Any window of the pool when the matcher admits none.
        bool fallbackToFirst = false;
        // The item's saved frame (its slot).
        std::optional<ScreenFrame> preferNear{};
        // The saved window title.
        std::optional<std::string> preferTitle{};
        // The application's titles never change, so a window without the saved title is
        // another window unless it already covers the slot.
        bool titleStable = false;
        // Titles follow content: a window whose title drifted may still be the item's.
        bool reuseDrifted = false;
        // Titles that belong to the application's other items.
        std::vector<std::string> avoidTitles{};
        // Only windows whose top-left corner lies on this display.
        std::optional<DisplayID> restrictToDisplay{};
        // The item's application name, for the log line of a title search that gives up.
        std::string itemName{};
    };

    // The windows the matcher admits. A regular expression that gives up on a title
    // (it would run for ages) admits nothing there, and one line naming the item
    // (`itemName`) and its matcher goes to the log.
    static AXElementList candidateWindows(const WindowMatcher& matcher, const AXElementList& windows,
                                          const std::string& itemName = {});
    // The window nearest the frame's top-left corner, preferring windows on its display.
    static std::optional<AXElement> pickBest(const AXElementList& windows,
                                             const std::optional<ScreenFrame>& preferNear);
    // The window that already covers the slot best, when it covers at least half of
    // the union of both.
    static std::optional<AXElement> candidateOccupyingSlot(const AXElementList& windows, const ScreenFrame& slot);
    static std::optional<AXElement> findWindow(const AXElementList& among, const WindowMatcher& matcher,
                                               const Options& options);
};

}  // namespace kestr
