#include "Core/SnapAction.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

using A = SnapAction;

void expectRect(const std::optional<Rect>& actual, const Rect& expected, const std::string& what) {
    ASSERT_TRUE(actual.has_value()) << what;
    EXPECT_DOUBLE_EQ(actual->x(), expected.x()) << what;
    EXPECT_DOUBLE_EQ(actual->y(), expected.y()) << what;
    EXPECT_DOUBLE_EQ(actual->width(), expected.width()) << what;
    EXPECT_DOUBLE_EQ(actual->height(), expected.height()) << what;
}

TEST(SnapActionTest, TargetRectsOfEachKindOfActionBelowAMenuBar) {
    const Rect visible(0, 25, 1440, 875);
    const Rect window(100, 100, 800, 600);
    const std::vector<std::pair<A::Value, Rect>> expected{
        {A::rightHalf, {720, 25, 720, 875}},           {A::bottomRightQuarter, {720, 462.5, 720, 437.5}},
        {A::centerTwoThirds, {240, 25, 960, 875}},     {A::lastFourth, {1080, 25, 360, 875}},
        {A::bottomCenterSixth, {480, 462.5, 480, 437.5}}, {A::almostMaximize, {72, 68.75, 1296, 787.5}},
        {A::maximizeHeight, {100, 25, 800, 875}},      {A::center, {320, 162.5, 800, 600}},
        // Grown by 144 x 87.5 about the centre.
        {A::largerSize, {28, 56.25, 944, 687.5}},      {A::smallerSize, {172, 143.75, 656, 512.5}},
        {A::moveRight, {640, 100, 800, 600}},          {A::moveUp, {100, 25, 800, 600}},
    };
    for (const auto& [action, rect] : expected) expectRect(A(action).targetRect(visible, window), rect, A(action).rawValue());
    EXPECT_FALSE(A(A::restore).targetRect(visible, window));
    EXPECT_FALSE(A(A::nextDisplay).targetRect(visible, window));
    // A visible area given with negative size is standardised first; maximize hands it back as given.
    const Rect flipped(1440, 900, -1440, -875);
    expectRect(A(A::bottomCenterSixth).targetRect(flipped, window), {480, 462.5, 480, 437.5}, "flipped");
    EXPECT_EQ(A(A::maximize).targetRect(flipped, window), flipped);
}

TEST(SnapActionTest, SizeChangesKeepTheMinimumAndStayInside) {
    const Rect visible(0, 25, 1440, 875);
    // Inset to 156 x 112.5, then widened to 200 and heightened to 150 about its centre.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(100, 100, 300, 200)), {150, 125, 200, 150}, "minimum");
    // Shrinking past nothing falls back to 200 x 150 about the window's centre, pushed inside.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(0, 30, 50, 50)), {0, 25, 200, 150}, "collapsed");
    // Pushed to the left edge, keeping its width, then cut at the right edge.
    expectRect(A(A::largerSize).targetRect(visible, Rect(-50, 25, 1400, 800)), visible, "pushed");
    expectRect(A(A::largerSize).targetRect(visible, Rect(1000, 300, 400, 300)), {928, 256.25, 512, 387.5}, "cut");
    // Center and the moves keep the size without clamping.
    const Rect huge(-50, -50, 2000, 1200);
    EXPECT_EQ(A(A::center).targetRect(visible, huge), visible);
    expectRect(A(A::moveRight).targetRect(visible, huge), {-560, -50, 2000, 1200}, "moveRight");
}

}  // namespace
}  // namespace kestr
