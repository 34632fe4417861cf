// The one way kestr reads and moves other applications' windows. A window is an
// accessibility element; two handles are the same window when they compare equal
// (window-server numbers are never used).
//
// The first group lists, reads and moves windows (WindowController.cpp); the second
// pairs a kest item with one of its application's windows (WindowFinder.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Core/WindowMatcher.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"
#include "Platform/Task.h"

namespace kestr {

class WindowController {
public:
    WindowController() = delete;

    static inline const std::string axFullScreenAttribute = "AXFullScreen";

    // --- Access ---

    // In the workspace's order.
    static std::vector<std::int32_t> pids(const std::string& bundleID);
    // The application's windows without slivers (a side under 5 points) and without
    // elements whose role is not "AXWindow"; unreadable sizes and roles keep a window.
    static AXElementList axWindows(AXElement application);
    // Process by process, each in its own window order.
    static AXElementList windows(const std::string& bundleID);

    static std::optional<Point> readPosition(AXElement window);
    static std::optional<Size> readSize(AXElement window);
    static std::optional<bool> axBool(AXElement element, const std::string& attribute);
    static std::optional<std::string> axString(AXElement element, const std::string& attribute);

    // Moves and resizes the window, checks the size once and writes again after 60 ms
    // when it was not honoured. The settling delay is accepted for callers' symmetry
    // and does not change the timing.
    static Task<void> applyFrame(AXElement window, Point globalPosition, Size size, double settlingDelay);
    // True when the window was in full screen and was asked to leave it.
    static bool exitFullScreen(AXElement window);
    static bool isFrontmostWindowFullScreen();

    // --- Finding an item's window ---

    static AXElementList candidateWindows(const WindowMatcher& matcher, const AXElementList& windows);
    // The window nearest the frame's top-left corner, preferring windows on its display.
    static std::optional<AXElement> pickBest(const AXElementList& windows,
                                             const std::optional<ScreenFrame>& preferNear);
    // The window that already covers the slot best, when it covers at least half of
    // the union of both.
    static std::optional<AXElement> candidateOccupyingSlot(const AXElementList& windows, const ScreenFrame& slot);
    static std::optional<AXElement> findWindow(const AXElementList& among, const WindowMatcher& matcher,
                                               const AXElementList& excluding, bool fallbackToFirst,
                                               const std::optional<ScreenFrame>& preferNear,
                                               const std::optional<std::string>& preferTitle, bool titleStable,
                                               bool reuseDrifted, const std::vector<std::string>& avoidTitles,
                                               std::optional<DisplayID> restrictToDisplay);
};

}  // namespace kestr
