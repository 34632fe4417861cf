// Edge resizing's pointer tracking. For now only the conversion of a pointer position
// from screen space (bottom-left origin) into global coordinates.
#pragma once

#include <optional>

#include "Platform/Geometry.h"

namespace kestr {

struct EdgeProximityTracker {
    // Through the first screen whose frame contains the point and that has a display
    // number; none when no such screen contains it.
    static std::optional<Point> axLocation(Point appKit);
};

}  // namespace kestr
