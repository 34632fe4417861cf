// Turning a coordinate into a whole number for text (log lines, dumps, script
// literals). A plain integer cast of an infinite, NaN or huge double is undefined
// behaviour, and some coordinates are legitimately infinite (the visible area of a
// display without area), so every such conversion goes through here.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kestr {

// Truncates toward zero; NaN gives 0, and values beyond the int64 range (infinities
// included) clamp to its limits.
inline std::int64_t truncatedWholeNumber(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; every double strictly inside (-2^63, 2^63)
    // converts safely, and -2^63 itself is the lower limit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// The truncated whole number in decimal.
inline std::string wholeNumberText(double value) { return std::to_string(truncatedWholeNumber(value)); }

}  // namespace kestr
