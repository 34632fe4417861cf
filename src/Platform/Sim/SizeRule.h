// How a simulated window answers a request for a new size: it keeps its minimum size,
// and a terminal-like window takes only whole character cells.
#pragma once

#include <optional>

#include "Platform/Geometry.h"

namespace kestr {

struct SizeRule {
    // With a cell size, the window is padding + k whole cells wide and high, the
    // largest k that fits the request (but never below the minimum size).
    std::optional<Size> cell;
    Size padding;

    // The size the window takes when `requested` is asked for.
    Size apply(Size requested, Size minimum) const;

    friend bool operator==(const SizeRule&, const SizeRule&) = default;
};

}  // namespace kestr
