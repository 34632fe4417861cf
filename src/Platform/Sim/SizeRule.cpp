#include "Platform/Sim/SizeRule.h"

#include <cmath>

namespace kestr {

namespace {

// One axis: at least `minimum`, and padding + whole cells when cells are set.
double fit(double requested, double minimum, double padding, std::optional<double> cell) {
    double value = std::fmax(requested, minimum);
    if (!cell || *cell <= 0) return value;
    double cells = std::floor((value - padding) / *cell);
    if (cells < 0) cells = 0;
    // Rounding down may fall below the minimum: take the fewest cells that keep it.
    while (padding + cells * *cell < minimum) cells += 1;
    return padding + cells * *cell;
}

}  // namespace

Size SizeRule::apply(Size requested, Size minimum) const {
    const auto cellWidth = cell ? std::optional<double>(cell->width) : std::nullopt;
    const auto cellHeight = cell ? std::optional<double>(cell->height) : std::nullopt;
    return Size{fit(requested.width, minimum.width, padding.width, cellWidth),
                fit(requested.height, minimum.height, padding.height, cellHeight)};
}

}  // namespace kestr
