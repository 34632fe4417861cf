// A line shared by windows of one kest on one display, with the windows on either side.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Core/Uuid.h"

namespace kestr {

// vertical: the line is an x coordinate, windows left and right of it;
// horizontal: a y coordinate, windows above and below.
enum class Axis { vertical, horizontal };
enum class WindowEdge { left, right, top, bottom };

// The stored names of the cases ("vertical", "left", ...).
std::string_view caseName(Axis axis);
std::string_view caseName(WindowEdge edge);

struct EdgeMember {
    Uuid itemID;
    WindowEdge edge = WindowEdge::left;
    friend bool operator==(const EdgeMember&, const EdgeMember&) = default;
};

struct EdgeGroup {
    Uuid id;
    Axis axis = Axis::vertical;
    std::string displayUUID;
    double coordinate = 0;  // display-local
    std::vector<EdgeMember> leftOrTopItems;
    std::vector<EdgeMember> rightOrBottomItems;
    double minCoordinate = 0;
    double maxCoordinate = 0;
    std::optional<double> spanStart;
    std::optional<double> spanEnd;

    friend bool operator==(const EdgeGroup&, const EdgeGroup&) = default;
};

}  // namespace kestr
