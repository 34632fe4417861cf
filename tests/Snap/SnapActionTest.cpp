#include "Snap/SnapAction.h"

#include <map>
#include <set>

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

TEST(SnapActionTest, RawNamesRoundTripAndAreCaseSensitive) {
    ASSERT_EQ(A::allCases().size(), 41u);
    std::set<std::string> raws;
    for (std::size_t i = 0; i < A::allCases().size(); ++i) {
        const SnapAction action = A::allCases()[i];
        EXPECT_EQ(static_cast<std::size_t>(action), i);
        raws.insert(action.rawValue());
        EXPECT_EQ(A::fromRawValue(action.rawValue()), action);
        EXPECT_FALSE(action.displayName().empty());
    }
    EXPECT_EQ(raws.size(), 41u);
    EXPECT_EQ(A(A::topLeftQuarter).rawValue(), "topLeftQuarter");
    EXPECT_EQ(A(A::topLeftQuarter).displayName(), "Top Left");
    EXPECT_EQ(A(A::largerSize).displayName(), "Make Larger");
    EXPECT_EQ(A(A::previousDisplay).displayName(), "Move to Previous Display");
    EXPECT_FALSE(A::fromRawValue("LeftHalf"));
    EXPECT_FALSE(A::fromRawValue(""));
    EXPECT_FALSE(A::fromRawValue("leftHalf "));
}

TEST(SnapActionTest, OnlyTheDisplayMovesCrossDisplays) {
    for (SnapAction action : A::allCases()) {
        EXPECT_EQ(action.isCrossDisplay(), action == A::nextDisplay || action == A::previousDisplay)
            << action.rawValue();
    }
}

TEST(SnapActionTest, PanelGroupsHoldEveryActionOnce) {
    const auto& groups = A::panelLayoutGroups();
    ASSERT_EQ(groups.size(), 10u);
    std::multiset<std::string> seen;
    for (const auto& group : groups) {
        for (SnapAction action : group) seen.insert(action.rawValue());
    }
    EXPECT_EQ(seen.size(), 41u);
    for (SnapAction action : A::allCases()) EXPECT_EQ(seen.count(action.rawValue()), 1u);
    // Restore sits before the size actions in the panel.
    EXPECT_EQ(groups[7], (std::vector<SnapAction>{A::maximize, A::almostMaximize, A::maximizeHeight,
                                                  A::center, A::restore, A::largerSize,
                                                  A::smallerSize}));
}

TEST(SnapActionTest, TargetRectOfEveryActionBelowAMenuBar) {
    const Rect visible(0, 25, 1440, 875);
    const Rect window(100, 100, 800, 600);
    const std::map<A::Value, Rect> expected{
        {A::leftHalf, {0, 25, 720, 875}},
        {A::rightHalf, {720, 25, 720, 875}},
        {A::topHalf, {0, 25, 1440, 437.5}},
        {A::bottomHalf, {0, 462.5, 1440, 437.5}},
        {A::centerHalf, {360, 25, 720, 875}},
        {A::topLeftQuarter, {0, 25, 720, 437.5}},
        {A::topRightQuarter, {720, 25, 720, 437.5}},
        {A::bottomLeftQuarter, {0, 462.5, 720, 437.5}},
        {A::bottomRightQuarter, {720, 462.5, 720, 437.5}},
        {A::firstThird, {0, 25, 480, 875}},
        {A::centerThird, {480, 25, 480, 875}},
        {A::lastThird, {960, 25, 480, 875}},
        {A::firstTwoThirds, {0, 25, 960, 875}},
        {A::centerTwoThirds, {240, 25, 960, 875}},
        {A::lastTwoThirds, {480, 25, 960, 875}},
        {A::firstFourth, {0, 25, 360, 875}},
        {A::secondFourth, {360, 25, 360, 875}},
        {A::thirdFourth, {720, 25, 360, 875}},
        {A::lastFourth, {1080, 25, 360, 875}},
        {A::firstThreeFourths, {0, 25, 1080, 875}},
        {A::centerThreeFourths, {180, 25, 1080, 875}},
        {A::lastThreeFourths, {360, 25, 1080, 875}},
        {A::topLeftSixth, {0, 25, 480, 437.5}},
        {A::topCenterSixth, {480, 25, 480, 437.5}},
        {A::topRightSixth, {960, 25, 480, 437.5}},
        {A::bottomLeftSixth, {0, 462.5, 480, 437.5}},
        {A::bottomCenterSixth, {480, 462.5, 480, 437.5}},
        {A::bottomRightSixth, {960, 462.5, 480, 437.5}},
        {A::maximize, {0, 25, 1440, 875}},
        {A::almostMaximize, {72, 68.75, 1296, 787.5}},
        {A::maximizeHeight, {100, 25, 800, 875}},
        {A::center, {320, 162.5, 800, 600}},
        // Grown by 144 x 87.5 about the centre.
        {A::largerSize, {28, 56.25, 944, 687.5}},
        {A::smallerSize, {172, 143.75, 656, 512.5}},
        {A::moveLeft, {0, 100, 800, 600}},
        {A::moveRight, {640, 100, 800, 600}},
        {A::moveUp, {100, 25, 800, 600}},
        {A::moveDown, {100, 300, 800, 600}},
    };
    ASSERT_EQ(expected.size(), 38u);
    for (SnapAction action : A::allCases()) {
        const auto rect = action.targetRect(visible, window);
        auto it = expected.find(action);
        if (it == expected.end()) {
            EXPECT_FALSE(rect.has_value()) << action.rawValue();
        } else {
            expectRect(rect, it->second, action.rawValue());
        }
    }
}

TEST(SnapActionTest, TargetRectsFollowTheVisibleOriginAndStandardiseIt) {
    // A second display to the right whose visible area starts below a dock at the top.
    const Rect visible(1440, 40, 1920, 1040);
    const Rect flipped(3360, 1080, -1920, -1040);
    const Rect window(1500, 100, 600, 400);
    for (SnapAction action : A::allCases()) {
        const auto a = action.targetRect(visible, window);
        const auto b = action.targetRect(flipped, window);
        ASSERT_EQ(a.has_value(), b.has_value()) << action.rawValue();
        if (a && action != A::maximize) expectRect(b, *a, action.rawValue());
    }
    expectRect(A(A::bottomRightSixth).targetRect(visible, window), {1440 + 1280, 560, 640, 520}, "sixth");
    expectRect(A(A::moveRight).targetRect(visible, window), {2760, 100, 600, 400}, "moveRight");
    // Maximize hands the visible area back as given.
    EXPECT_EQ(A(A::maximize).targetRect(flipped, window), flipped);
}

TEST(SnapActionTest, CenterAndMovesKeepTheWindowSizeWithoutClamping) {
    const Rect visible(0, 25, 1440, 875);
    const Rect huge(-50, -50, 2000, 1200);
    EXPECT_EQ(A(A::center).targetRect(visible, huge), visible);
    // Wider only: shrunk to the width, kept in height, centred.
    expectRect(A(A::center).targetRect(visible, Rect(0, 0, 1600, 400)), {0, 262.5, 1440, 400}, "center");
    expectRect(A(A::moveRight).targetRect(visible, huge), {-560, -50, 2000, 1200}, "moveRight");
    expectRect(A(A::moveDown).targetRect(visible, huge), {-50, -300, 2000, 1200}, "moveDown");
}

TEST(SnapActionTest, SmallerSizeKeepsTheMinimumAboutTheCentre) {
    const Rect visible(0, 25, 1440, 875);
    // Inset to 156 x 112.5, then widened to 200 and heightened to 150 about its centre.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(100, 100, 300, 200)), {150, 125, 200, 150},
               "minimum");
    // Shrinking past nothing falls back to 200 x 150 about the window's centre ...
    expectRect(A(A::smallerSize).targetRect(visible, Rect(500, 500, 100, 100)), {450, 475, 200, 150},
               "collapsed");
    // ... pushed into the visible area like any other result.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(0, 30, 50, 50)), {0, 25, 200, 150},
               "collapsed at the corner");
    // Only one direction collapsing is enough.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(600, 200, 100, 600)), {550, 425, 200, 150},
               "collapsed width");
}

TEST(SnapActionTest, LargerSizeIsPushedInsideThenCut) {
    const Rect visible(0, 25, 1440, 875);
    EXPECT_EQ(A(A::largerSize).targetRect(visible, visible), visible);
    // Pushed to the left edge, keeping its width, then cut at the right edge.
    expectRect(A(A::largerSize).targetRect(visible, Rect(-50, 25, 1400, 800)), visible, "pushed");
    expectRect(A(A::largerSize).targetRect(visible, Rect(1000, 300, 400, 300)), {928, 256.25, 512, 387.5},
               "cut right");
    // A visible area below the minimum size bounds the result.
    expectRect(A(A::largerSize).targetRect(Rect(0, 0, 150, 100), Rect(10, 10, 50, 50)), {0, 0, 150, 100},
               "tiny display");
}

}  // namespace
}  // namespace kestr
