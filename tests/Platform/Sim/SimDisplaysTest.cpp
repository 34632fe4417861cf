#include "Platform/Sim/SimDisplays.h"

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimDisplaysTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        // A laptop to the left of the main display, a third display above-right of it.
        auto& displays = sim->world().displays;
        displays.push_back({7, "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee", Rect(0, 0, 1920, 1200), Insets{25, 0, 70, 0}});
        displays.push_back({3, std::nullopt, Rect(-1512, 218, 1512, 982), Insets{25, 0, 0, 80}});
        displays.push_back({std::nullopt, std::nullopt, Rect(1920, -300, 1440, 900), Insets{}});
    }
};

TEST_F(SimDisplaysTest, ScreensAreFlippedAgainstTheMainDisplay) {
    const auto screens = sim->displays().screens();
    ASSERT_EQ(screens.size(), 3u);
    EXPECT_EQ(screens[0].frame, Rect(0, 0, 1920, 1200));
    EXPECT_EQ(screens[0].visibleFrame, Rect(0, 70, 1920, 1105));
    EXPECT_EQ(screens[0].deviceDescription.at("NSScreenNumber"), PlistValue(std::int64_t{7}));
    // Global y 218..1200 is AppKit y 0..982.
    EXPECT_EQ(screens[1].frame, Rect(-1512, 0, 1512, 982));
    EXPECT_EQ(screens[1].visibleFrame, Rect(-1512, 0, 1432, 957));
    // Global y -300..600 is AppKit y 600..1500.
    EXPECT_EQ(screens[2].frame, Rect(1920, 600, 1440, 900));
    EXPECT_FALSE(screens[2].deviceDescription.count("NSScreenNumber"));
}

TEST_F(SimDisplaysTest, MainDisplayIsTheOneAtTheOriginUnlessSet) {
    EXPECT_EQ(sim->displays().mainDisplayID(), 7u);
    sim->world().mainDisplayOverride = 3;
    EXPECT_EQ(sim->displays().mainDisplayID(), 3u);
    // AppKit space now flips against the new main display's 982 points.
    EXPECT_EQ(sim->displays().screens()[1].frame, Rect(-1512, -218, 1512, 982));
    sim->world().mainDisplayOverride = 99;  // not connected
    EXPECT_EQ(sim->displays().mainDisplayID(), 7u);
}

TEST_F(SimDisplaysTest, UuidsResolveInEitherCase) {
    auto& displays = sim->displays();
    EXPECT_EQ(displays.displayUUIDString(7), "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE");
    EXPECT_EQ(displays.displayIDFromUUIDString("AAAAAAAA-BBBB-CCCC-DDDD-eeeeeeeeeeee"), 7u);
    EXPECT_FALSE(displays.displayUUIDString(3));
    EXPECT_EQ(displays.displayIDFromUUIDString("AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEE"), 0u);
    EXPECT_EQ(displays.displayIDFromUUIDString("AAAAAAAA BBBB-CCCC-DDDD-EEEEEEEEEEEE"), 0u);
    EXPECT_EQ(displays.displayIDFromUUIDString("11111111-2222-3333-4444-555555555555"), 0u);
    EXPECT_EQ(displays.displayIDFromUUIDString(""), 0u);
    EXPECT_EQ(displays.displayBounds(42), Rect());
}

TEST_F(SimDisplaysTest, PointerIsKeptGlobalAndReportedInAppKitSpace) {
    sim->displays().warpMouseCursor(Point{960, 1});
    EXPECT_EQ(sim->displays().mouseLocation(), (Point{960, 1199}));
    sim->virtualTime().advance(0.5);
    sim->displays().postMouseEvent(MouseEventType::leftMouseDown, Point{-100, 300});
    EXPECT_EQ(sim->world().pointer, (Point{-100, 300}));
    ASSERT_EQ(sim->simDisplays().postedEvents().size(), 1u);
    EXPECT_EQ(sim->simDisplays().postedEvents()[0],
              (SimDisplays::PostedEvent{MouseEventType::leftMouseDown, Point{-100, 300}, 0.5}));
    EXPECT_EQ(sim->simDisplays().warps(), std::vector<Point>{(Point{960, 1})});
}

TEST_F(SimDisplaysTest, MainScreenIsTheKeyScreenElseTheFirst) {
    EXPECT_EQ(sim->displays().mainScreen()->frame, Rect(0, 0, 1920, 1200));
    sim->world().keyScreen = 2;
    EXPECT_EQ(sim->displays().mainScreen()->frame, Rect(1920, 600, 1440, 900));
    sim->world().displays.clear();
    EXPECT_FALSE(sim->displays().mainScreen());
    EXPECT_EQ(sim->displays().mainDisplayID(), 0u);
}

}  // namespace
}  // namespace kestr
