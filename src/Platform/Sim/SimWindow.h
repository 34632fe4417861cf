// One window of a simulated application.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/AXAttributes.h"
#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"
#include "Platform/Sim/SimElement.h"
#include "Platform/Sim/SizeRule.h"

namespace kestr {

struct SimWindow {
    // The window's accessibility element; given by the world, stable for its life.
    AXElement element;
    // The window server's number; given by the world when zero.
    std::int64_t number = 0;
    std::string title;
    std::string role = ax::windowRole;
    std::optional<std::string> subrole = ax::standardWindowSubrole;
    // Global coordinates of the top-left corner.
    Point position;
    Size size;
    Size minimumSize;
    SizeRule sizeRule;
    // Whether the window states its minimum size and its size step (its cell) to
    // accessibility, as an X11 client's size hints do; most windows state neither.
    bool reportsSizeHints = false;
    bool minimized = false;
    bool fullScreen = false;
    // The frame to go back to when the window leaves full screen.
    std::optional<Rect> frameBeforeFullScreen;
    // The desktop Space the window lives on.
    int space = 1;
    // False for a window that is ordered out (not shown) although it exists.
    bool onScreen = true;
    int layer = 0;
    // Attributes whose reads fail, as for a window that cannot report them.
    std::set<std::string> unreadable;
    std::vector<SimElement> children;

    Rect frame() const { return Rect(position, size); }
    friend bool operator==(const SimWindow&, const SimWindow&) = default;
};

}  // namespace kestr
