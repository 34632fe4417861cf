#include "Window/DisplayManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

using DisplayManagerTest = DesktopTest;

TEST_F(DisplayManagerTest, OrdersDisplaysLeftToRightThenTopToBottomWhateverTheSystemOrder) {
    addDisplay(3, Rect(1512, -300, 1920, 1080));
    addDisplay(1, Rect(0, 0, 1512, 982));
    addDisplay(2, Rect(-1920, 0, 1920, 1080));
    EXPECT_EQ(DisplayManager::displaysLeftToRight(), (std::vector<DisplayID>{2, 1, 3}));

    // Stacked at the same x: the upper one first; equal origins keep the system order.
    sim->world().displays.clear();
    addDisplay(5, Rect(0, 900, 1440, 900));
    addDisplay(4, Rect(0, 0, 1440, 900));
    addDisplay(7, Rect(0, 900, 800, 600));
    // A screen without an identifier takes no part.
    sim->world().displays.push_back(SimDisplay{std::nullopt, std::nullopt, Rect(-5000, 0, 100, 100), {}});
    EXPECT_EQ(DisplayManager::displaysLeftToRight(), (std::vector<DisplayID>{4, 5, 7}));
}

TEST_F(DisplayManagerTest, LabelsCountFromTheLeftAndMarkTheMainDisplay) {
    addDisplay(9, Rect(1440, 0, 1920, 1080));
    addDisplay(3, Rect(0, 0, 1440, 900));
    addDisplay(7, Rect(-1440, 0, 1440, 900));
    ASSERT_EQ(sim->displays().mainDisplayID(), 3u);

    EXPECT_EQ(DisplayManager::label(7), "Display 1");
    EXPECT_EQ(DisplayManager::label(3), "Display 2 (main)");
    EXPECT_EQ(DisplayManager::label(9), "Display 3");
    EXPECT_EQ(DisplayManager::label(42), "another display");
}

TEST_F(DisplayManagerTest, VisibleAreaLeavesOutMenuBarAndDockWithinEachScreen) {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{.top = 25});
    // A secondary display above and to the right, with the Dock at its bottom and left.
    addDisplay(2, Rect(1440, -300, 1920, 1080), Insets{.top = 25, .left = 64, .bottom = 70});

    EXPECT_EQ(DisplayManager::visibleAreaLocal(1), Rect(0, 25, 1440, 875));
    EXPECT_EQ(DisplayManager::visibleAreaLocal(2), Rect(64, 25, 1856, 985));
}

TEST_F(DisplayManagerTest, DisplayWithoutAreaHasTheInfiniteVisibleArea) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    addDisplay(2, Rect(1440, 0, 0, 900));
    EXPECT_EQ(DisplayManager::visibleAreaLocal(2), Rect::infinite());
    // Not connected: no bounds, so no area either.
    EXPECT_EQ(DisplayManager::visibleAreaLocal(99), Rect::infinite());

    // Clipping against it leaves a frame as it was.
    const ScreenFrame f{uuidOf(2), -100, 10, 600, 400, 0.0, 900.0, 1440.0, 0.0};
    EXPECT_EQ(DisplayManager::clipFrameToVisible(f), f);
}

TEST_F(DisplayManagerTest, ClipsFramesToTheVisibleArea) {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{.top = 25});

    ScreenFrame overLeft{uuidOf(1), -100, 10, 600, 400, 1440.0, 900.0, 0.0, 0.0};
    const ScreenFrame clipped = DisplayManager::clipFrameToVisible(overLeft);
    EXPECT_EQ(clipped, (ScreenFrame{uuidOf(1), 0, 25, 500, 385, 1440.0, 900.0, 0.0, 0.0}));

    // Wholly to the right: it keeps its x and gets no width.
    EXPECT_EQ(DisplayManager::clipFrameToVisible(frameOn(1, 1500, 100, 200, 200)),
              frameOn(1, 1500, 100, 0, 200));
    // Past the bottom edge.
    EXPECT_EQ(DisplayManager::clipFrameToVisible(frameOn(1, 10, 800, 200, 200)),
              frameOn(1, 10, 800, 200, 100));
    // A width that is not a number becomes 0.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(DisplayManager::clipFrameToVisible(frameOn(1, 10, 30, nan, 100)),
              frameOn(1, 10, 30, 0, 100));
}

TEST_F(DisplayManagerTest, FramesOfUnknownDisplaysComeBackUnchanged) {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{.top = 25});
    const ScreenFrame empty{"", -100, 10, 600, 400, 1440.0, 900.0, 0.0, 0.0};
    EXPECT_EQ(DisplayManager::clipFrameToVisible(empty), empty);
    const ScreenFrame gone{uuidOf(8), -100, 10, 600, 400, std::nullopt, 900.0, std::nullopt, 5.0};
    EXPECT_EQ(DisplayManager::clipFrameToVisible(gone), gone);
}

TEST_F(DisplayManagerTest, ContainmentIncludesLeftAndTopEdgesOnly) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    addDisplay(2, Rect(1440, 0, 1920, 1080));

    EXPECT_EQ(DisplayManager::display(Point{0, 0}), 1u);
    EXPECT_EQ(DisplayManager::display(Point{1439.9, 899.9}), 1u);
    // The right edge of the first display is the left edge of the second.
    EXPECT_EQ(DisplayManager::display(Point{1440, 10}), 2u);
    EXPECT_EQ(DisplayManager::display(Point{10, 900}), std::nullopt);
    EXPECT_EQ(DisplayManager::display(Point{-0.5, 10}), std::nullopt);
    EXPECT_EQ(DisplayManager::display(Point{3360, 10}), std::nullopt);
}

TEST_F(DisplayManagerTest, PointerIsOnTheFirstScreenThatHoldsIt) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    addDisplay(2, Rect(0, 900, 1440, 900));
    addDisplay(3, Rect(1440, 0, 1920, 1080));

    sim->world().pointer = Point{2000, 500};
    EXPECT_EQ(DisplayManager::displayUnderMouse(), 3u);
    // On the line between two stacked displays the pointer belongs to the lower one,
    // as it does for containment in global coordinates.
    sim->world().pointer = Point{100, 900};
    EXPECT_EQ(DisplayManager::displayUnderMouse(), 2u);
    EXPECT_EQ(DisplayManager::display(Point{100, 900}), 2u);
    sim->world().pointer = Point{-10, 10};
    EXPECT_EQ(DisplayManager::displayUnderMouse(), std::nullopt);

    // A screen without an identifier that holds the pointer ends the search.
    sim->world().displays.insert(sim->world().displays.begin(),
                                 SimDisplay{std::nullopt, std::nullopt, Rect(1440, 0, 500, 500), {}});
    sim->world().pointer = Point{1500, 100};
    EXPECT_EQ(DisplayManager::displayUnderMouse(), std::nullopt);
    EXPECT_EQ(DisplayManager::display(Point{1500, 100}), 3u);
}

TEST_F(DisplayManagerTest, ScreenIdentifierMustBeAThirtyTwoBitUnsignedNumber) {
    const auto idOf = [](PlistValue v) {
        Screen s;
        s.deviceDescription["NSScreenNumber"] = std::move(v);
        return DisplayManager::displayID(s);
    };
    EXPECT_EQ(idOf(std::int64_t{69733382}), 69733382u);
    EXPECT_EQ(idOf(std::int64_t{4294967295}), 4294967295u);
    EXPECT_EQ(idOf(2.0), 2u);
    EXPECT_EQ(idOf(std::int64_t{4294967296}), std::nullopt);
    EXPECT_EQ(idOf(std::int64_t{-1}), std::nullopt);
    EXPECT_EQ(idOf(2.5), std::nullopt);
    EXPECT_EQ(idOf("1"), std::nullopt);
    EXPECT_EQ(DisplayManager::displayID(Screen{}), std::nullopt);

    addDisplay(4, Rect(0, 0, 800, 600));
    ASSERT_TRUE(DisplayManager::screen(4));
    EXPECT_EQ(DisplayManager::displayID(*DisplayManager::screen(4)), 4u);
    EXPECT_EQ(DisplayManager::screen(5), std::nullopt);
}

}  // namespace
}  // namespace kestr::test
