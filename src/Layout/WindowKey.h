// The identity of a window on screen — owner and rounded frame — used by capture to
// tell whether an accessibility window is on the current Space: the window server
// lists only the current Space's windows, in the same global coordinates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "Platform/Geometry.h"

namespace kestr {

struct WindowKey {
    std::int32_t pid = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t w = 0;
    std::int64_t h = 0;

    // The key of a window, each value rounded to the nearest whole point (halves away
    // from zero); none when a value is not a finite number that fits.
    static std::optional<WindowKey> make(std::int32_t pid, Point position, Size size);

    friend bool operator==(const WindowKey&, const WindowKey&) = default;
};

struct WindowKeyHash {
    std::size_t operator()(const WindowKey& k) const;
};

using WindowKeySet = std::unordered_set<WindowKey, WindowKeyHash>;

// The keys of the windows the window server lists on screen (desktop elements left
// out). An unreadable list gives the empty set.
WindowKeySet currentSpaceWindowKeys();

}  // namespace kestr
