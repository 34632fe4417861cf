#include "Platform/AXAttributes.h"
#include "Window/DisplayManager.h"

#include <gtest/gtest.h>

#include <limits>

#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

using DisplayManagerTest = DesktopTest;

TEST_F(DisplayManagerTest, OrdersAndLabelsDisplaysLeftToRightWhateverTheSystemOrder) {
    addDisplay(3, Rect(1512, -300, 1920, 1080));
    addDisplay(5, Rect(0, 982, 1512, 900));  // stacked below the main one: comes after it
    addDisplay(1, Rect(0, 0, 1512, 982));
    addDisplay(2, Rect(-1920, 0, 1920, 1080));
    // A screen without an identifier takes no part.
    addDisplay(0, Rect(-5000, 0, 100, 100)).noIdentifier().uuid(std::nullopt);
    ASSERT_EQ(sim->displays().mainDisplayID(), 1u);
    EXPECT_EQ(DisplayManager::displaysLeftToRight(), (std::vector<DisplayID>{2, 1, 5, 3}));
    EXPECT_EQ(DisplayManager::label(1), "Display 2 (main)");
}

TEST_F(DisplayManagerTest, ClipsFramesToTheVisibleAreaOfTheirDisplay) {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{.top = 25});
    addDisplay(2, Rect(1440, -300, 1920, 1080), Insets{.top = 25, .left = 64, .bottom = 70});
    addDisplay(3, Rect(3360, 0, 0, 900));
    EXPECT_EQ(DisplayManager::visibleAreaLocal(2), Rect(64, 25, 1856, 985));  // within its own screen
    const ScreenFrame overLeft{uuidOf(1), -100, 10, 600, 400, 1440.0, 900.0, 0.0, 0.0};
    EXPECT_EQ(DisplayManager::clipFrameToVisible(overLeft),
              (ScreenFrame{uuidOf(1), 0, 25, 500, 385, 1440.0, 900.0, 0.0, 0.0}));
    // Wholly to the right: it keeps its x and gets no width; a width that is not a number becomes 0.
    EXPECT_EQ(DisplayManager::clipFrameToVisible(frameOn(1, 1500, 100, 200, 200)), frameOn(1, 1500, 100, 0, 200));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(DisplayManager::clipFrameToVisible(frameOn(1, 10, 30, nan, 100)), frameOn(1, 10, 30, 0, 100));
    // A display without area, or one not connected, has the infinite area: frames stay as they are.
    EXPECT_EQ(DisplayManager::visibleAreaLocal(3), Rect::infinite());
    for (const ScreenFrame& f : {ScreenFrame{uuidOf(3), -100, 10, 600, 400, 0.0, 900.0, 1440.0, 0.0},
                                 ScreenFrame{uuidOf(8), -100, 10, 600, 400, std::nullopt, 900.0, std::nullopt, 5.0}}) {
        EXPECT_EQ(DisplayManager::clipFrameToVisible(f), f);
    }
}

TEST_F(DisplayManagerTest, PointsAndThePointerBelongToTheScreenHoldingThem) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    addDisplay(2, Rect(0, 900, 1440, 900));
    addDisplay(3, Rect(1440, 0, 1920, 1080));
    // Left and top edges count; the right edge of one display is the left edge of the next.
    EXPECT_EQ(DisplayManager::display(Point{1440, 10}), 3u);
    EXPECT_EQ(DisplayManager::display(Point{-0.5, 10}), std::nullopt);
    // On the line between two stacked displays the pointer belongs to the lower one, as a point does.
    sim->world().pointer = Point{100, 900};
    EXPECT_EQ(DisplayManager::displayUnderMouse(), 2u);
    EXPECT_EQ(DisplayManager::display(Point{100, 900}), 2u);
}

TEST_F(DisplayManagerTest, ScreenIdentifierMustBeAThirtyTwoBitUnsignedNumber) {
    const auto idOf = [](PlistValue v) {
        Screen s;
        s.deviceDescription[ax::screenNumberKey] = std::move(v);
        return DisplayManager::displayID(s);
    };
    EXPECT_EQ(idOf(std::int64_t{4294967295}), 4294967295u);
    EXPECT_EQ(idOf(2.0), 2u);
    for (PlistValue bad : {PlistValue{std::int64_t{4294967296}}, PlistValue{std::int64_t{-1}}, PlistValue{2.5}}) {
        EXPECT_EQ(idOf(bad), std::nullopt);
    }
}

}  // namespace
}  // namespace kestr::test
