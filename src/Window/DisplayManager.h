// Questions about the connected displays: which display holds a point or the pointer,
// their left-to-right order, the area windows may use, and the names shown to the
// user. Nothing is cached: every answer reads the live screen list, because displays
// come and go while the program runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/ScreenFrame.h"
#include "Platform/Displays.h"
#include "Platform/Geometry.h"

namespace kestr {

class DisplayManager {
public:
    DisplayManager() = delete;

    // The first screen, in the system's order, whose global bounds contain the point.
    static std::optional<DisplayID> display(Point global);
    // The identifier in the screen's device description, when it is a 32-bit unsigned
    // number.
    static std::optional<DisplayID> displayID(const Screen& screen);
    // The first screen whose frame holds the pointer; none when that screen has no
    // identifier (later screens are not tried).
    static std::optional<DisplayID> displayUnderMouse();
    static std::vector<DisplayID> displaysLeftToRight();
    static std::optional<Screen> screen(DisplayID display);
    // Display-local, without the menu bar and the Dock.
    static Rect visibleAreaLocal(DisplayID display);
    // `mainTopKept`: a strip along the main display's top edge that windows will not have,
    // though the display does not leave it out yet.
    static ScreenFrame clipFrameToVisible(const ScreenFrame& frame, double mainTopKept = 0);
    // The frame cut to the area (display-local); unchanged when the area is empty.
    static ScreenFrame clipFrame(const ScreenFrame& frame, const Rect& area);
    static std::string label(DisplayID display);
};

}  // namespace kestr
