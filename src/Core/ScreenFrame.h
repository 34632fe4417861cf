// A rectangle on one display, in display-local points (origin at the display's top-left
// corner, y downward), with the display's size and origin when it was recorded.
#pragma once

#include <optional>
#include <string>

namespace kestr {

struct ScreenFrame {
    // Coordinates and sizes read from a file are held within ±coordinateLimit points:
    // far beyond any screen, and small enough that sums, differences and areas of them
    // stay finite, so a kest read can always be placed and written again.
    static constexpr double coordinateLimit = 1e9;

    std::string displayUUID;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::optional<double> dispW;
    std::optional<double> dispH;
    std::optional<double> dispX;  // global coordinates
    std::optional<double> dispY;

    // Every number (the display's too, where recorded) within ±coordinateLimit; false
    // for a NaN.
    bool withinLimits() const {
        const auto held = [](double v) { return v >= -coordinateLimit && v <= coordinateLimit; };
        const auto heldIfAny = [&](const std::optional<double>& v) { return !v || held(*v); };
        return held(x) && held(y) && held(width) && held(height) && heldIfAny(dispW) && heldIfAny(dispH) &&
               heldIfAny(dispX) && heldIfAny(dispY);
    }

    // Exact comparison: a NaN is unequal to everything.
    friend bool operator==(const ScreenFrame&, const ScreenFrame&) = default;
};

}  // namespace kestr
