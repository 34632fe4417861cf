// The one way kestr reads and moves other applications' windows. A window is an
// accessibility element; two handles are the same window when they compare equal
// (window-server numbers are never used). Pairing an item with one of the windows is
// WindowFinder's.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Platform/AXAttributes.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/Task.h"
#include "Window/WindowLimits.h"

namespace kestr {

class WindowController {
public:
    WindowController() = delete;

    // While one lives, reads whose answer cannot change meanwhile are made once: a
    // window's "AXRole", and an application's "AXEnhancedUserInterface" (off once read
    // or turned off). An apply holds one for its whole run; scopes may overlap (an
    // edge move during an apply) and what they remember goes with the last of them.
    class ReadScope {
    public:
        ReadScope();
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;
    };

    // While one lives, each window's "AXTitle" is read once: for the time one item's
    // window is chosen, during which no title is expected to change.
    class TitleScope {
    public:
        TitleScope();
        ~TitleScope();
        TitleScope(const TitleScope&) = delete;
        TitleScope& operator=(const TitleScope&) = delete;
    };

    // In the workspace's order.
    static std::vector<std::int32_t> pids(const std::string& bundleID);
    // Searches read the next three through the apply's WindowCache when one is in use.
    // The application's windows without slivers (a side under 5 points) and without
    // elements whose role is not "AXWindow"; unreadable sizes and roles keep a window.
    static AXElementList axWindows(AXElement application);
    // The application's "AXWindows" as they stand, unfiltered; empty when unreadable.
    static AXElementList windowList(AXElement application);
    // Process by process, each in its own window order.
    static AXElementList windows(const std::string& bundleID);

    static std::optional<Point> readPosition(AXElement window);
    static std::optional<Size> readSize(AXElement window);
    static std::optional<bool> axBool(AXElement element, const std::string& attribute);
    static std::optional<std::string> axString(AXElement element, const std::string& attribute);
    // The window's minimum size and size step, each where it reports one.
    static WindowLimits limits(AXElement window);
    // The limits of each item's window.
    static ItemWindowLimits limits(const std::map<Uuid, AXElement>& windows);
    // The smallest size every open window of the application takes: the largest of their
    // minimum sizes, when each of them reports one; none without open windows.
    static std::optional<Size> minimumSize(const std::string& bundleID);
    // The window's "AXTitle"; none when unreadable.
    static std::optional<std::string> title(AXElement window);

    // Some windows take their final size only after the window manager's answer has ended
    // a move (a terminal its whole character cells, a toolkit its own width): a window
    // counts as settled once its frame has been still for `stillPeriod` seconds, and
    // nothing waits longer than `stillLimit` for that.
    static constexpr double stillPeriod = 0.1;
    static constexpr double stillLimit = 1.0;

    // Moves and resizes the window, waits for its frame to settle, checks the size once
    // and writes again after 60 ms when it was not honoured (within one size step, else
    // 2 points).
    static Task<void> applyFrame(AXElement window, Point globalPosition, Size size);
    // True when the window was in full screen and was asked to leave it.
    static bool exitFullScreen(AXElement window);
    static bool isFrontmostWindowFullScreen();

private:
    struct Remembered {
        // The service the answers came from; another one (a new desktop) forgets them.
        const Accessibility* source = nullptr;
        int readScopes = 0;
        std::map<AXElement, std::string> roles;
        // Applications whose enhanced interface is off: read so, or turned off here.
        std::set<std::int32_t> plainInterface;
        int titleScopes = 0;
        std::map<AXElement, std::optional<std::string>> titles;
    };
    static Remembered& memory();
    // The memory, emptied first when the answers came from another service.
    static Remembered& remembered();
    static std::optional<std::string> role(AXElement window);
    // The reads behind axWindows, readPosition and readSize, never through a WindowCache.
    static AXElementList usableWindows(AXElement application);
    static std::optional<Point> livePosition(AXElement window);
    static std::optional<Size> liveSize(AXElement window);
};

}  // namespace kestr
