// One display of the simulated desktop.
#pragma once

#include <optional>
#include <string>

#include "Platform/Displays.h"
#include "Platform/Geometry.h"

namespace kestr {

// Edges of a display that windows may not use: the menu bar at the top, the Dock at
// one of the others.
struct Insets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const Insets&, const Insets&) = default;
};

struct SimDisplay {
    // None: the screen has no "NSScreenNumber" in its device description.
    std::optional<DisplayID> id;
    // None: the system gives no UUID for the display.
    std::optional<std::string> uuid;
    // Global coordinates, origin at the top-left corner of the main display.
    Rect bounds;
    Insets insets;
    // The part of the top that a camera housing hides (0: none).
    double safeAreaTop = 0;
    friend bool operator==(const SimDisplay&, const SimDisplay&) = default;
};

}  // namespace kestr
