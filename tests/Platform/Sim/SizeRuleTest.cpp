#include "Platform/Sim/SizeRule.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

TEST(SizeRule, FreeWindowsTakeAnySizeCellWindowsWholeCellsAndNeitherGoesBelowItsMinimum) {
    const SizeRule free;
    EXPECT_EQ(free.apply({801.5, 600}, {120, 120}), (Size{801.5, 600}));
    EXPECT_EQ(free.apply({100, 600}, {316, 288}), (Size{316, 600}));
    EXPECT_EQ(free.apply({-5, 0}, {0, 0}), (Size{0, 0}));

    SizeRule cells;
    cells.cell = Size{7, 14};
    cells.padding = Size{10, 30};
    // 10 + 7k <= 800 -> k = 112 -> 794; 30 + 14k <= 600 -> k = 40 -> 590.
    EXPECT_EQ(cells.apply({800, 600}, {0, 0}), (Size{794, 590}));
    EXPECT_EQ(cells.apply({794, 590}, {0, 0}), (Size{794, 590}));
    // Rounding 260 down would give 255; the fewest whole cells at or above it is 262.
    EXPECT_EQ(cells.apply({100, 100}, {260, 212}), (Size{262, 212}));
    EXPECT_EQ(cells.apply({5, 5}, {0, 0}), (Size{10, 30}));
}

}  // namespace
}  // namespace kestr
