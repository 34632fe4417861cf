// A rectangle on one display, in display-local points (origin at the display's top-left
// corner, y downward), with the display's size and origin when it was recorded.
#pragma once

#include <optional>
#include <string>

namespace kestr {

struct ScreenFrame {
    std::string displayUUID;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::optional<double> dispW;
    std::optional<double> dispH;
    std::optional<double> dispX;  // global coordinates
    std::optional<double> dispY;

    // Exact comparison: a NaN is unequal to everything.
    friend bool operator==(const ScreenFrame&, const ScreenFrame&) = default;
};

}  // namespace kestr
