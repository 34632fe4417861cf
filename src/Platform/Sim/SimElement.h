// A user-interface element inside a simulated window (a sidebar, a scroll area, ...),
// reachable through "AXChildren".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

struct SimElement {
    // Given by the world when the window is added; stable for the window's life.
    AXElement element;
    std::string role;
    std::optional<std::string> subrole;
    std::optional<std::string> title;
    // Global coordinates, like windows.
    Point position;
    Size size;
    std::vector<SimElement> children;
    friend bool operator==(const SimElement&, const SimElement&) = default;
};

}  // namespace kestr
