// What a window says about the sizes it takes, where the platform reports it: its
// smallest size, and the steps its size moves in (a terminal's character cells).
#pragma once

#include <map>
#include <optional>

#include "Core/Uuid.h"
#include "Platform/Geometry.h"

namespace kestr {

struct WindowLimits {
    std::optional<Size> minimumSize;
    std::optional<Size> sizeStep;

    friend bool operator==(const WindowLimits&, const WindowLimits&) = default;
};

// The limits of the windows of a kest's items, by item identifier; an item without an
// entry has no known limits.
using ItemWindowLimits = std::map<Uuid, WindowLimits>;

}  // namespace kestr
