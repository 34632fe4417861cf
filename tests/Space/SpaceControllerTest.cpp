#include <gtest/gtest.h>

#include "Space/SpaceController.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class SpaceControllerTest : public test::SimTest {
protected:
    void addDisplay(DisplayID id, Rect bounds) {
        SimDisplay d;
        d.id = id;
        d.uuid = "00000000-0000-0000-0000-00000000000" + std::to_string(id);
        d.bounds = bounds;
        sim->world().displays.push_back(d);
    }
    void installMissionControl() {
        SimApplication mc;
        mc.bundleID = "com.apple.exposelauncher";
        mc.name = "Mission Control";
        mc.path = "/System/Applications/Mission Control.app";
        mc.firstWindowDelay.reset();
        sim->world().install(mc);
    }
    // Runs the sequence to its end; returns the failure text, or "".
    std::string run() {
        std::string failure = "did not finish";
        spawn([](std::string& out) -> Task<void> {
            try {
                co_await SpaceController::createNewSpaceAndSwitch();
                out.clear();
            } catch (const SpaceController::Failure& f) {
                out = f.what();
            }
        }(failure));
        sim->virtualTime().runUntilIdle();
        return failure;
    }
};

TEST_F(SpaceControllerTest, ClicksTheAddButtonOfThePrimaryDisplayAndPutsThePointerBack) {
    addDisplay(2, Rect(-1920, 0, 1920, 1080));
    addDisplay(1, Rect(0, 0, 1512, 982));
    sim->world().keyScreen = 0;  // the screen with the key window is not the primary one
    installMissionControl();
    sim->world().pointer = Point{100, 200};
    const Point before = sim->displays().mouseLocation();

    EXPECT_EQ(run(), "");

    const auto& warps = sim->simDisplays().warps();
    ASSERT_EQ(warps.size(), 3u);
    EXPECT_EQ(warps[0], (Point{756, 1}));
    EXPECT_EQ(warps[1], (Point{1476, 30}));
    EXPECT_EQ(warps[2], (Point{before.x, 982 - before.y}));

    const auto& events = sim->simDisplays().postedEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, MouseEventType::leftMouseDown);
    EXPECT_EQ(events[1].type, MouseEventType::leftMouseUp);
    EXPECT_EQ(events[0].global, (Point{1476, 30}));
    EXPECT_NEAR(events[1].time - events[0].time, 0.04, 1e-9);

    ASSERT_EQ(sim->simWorkspace().openRequests().size(), 1u);
    EXPECT_TRUE(sim->simWorkspace().openRequests()[0].configuration.activates);
    EXPECT_EQ(sim->simLog().lines(),
              (std::vector<std::string>{"kestr/SpaceController: primary frame=(0.0, 0.0, 1512.0, 982.0)",
                                        "kestr/SpaceController: MC launched + opened delay elapsed",
                                        "kestr/SpaceController: cursor parked at top to reveal bar",
                                        "kestr/SpaceController: clicked + at (1476.0, 30.0)"}));
}

TEST_F(SpaceControllerTest, TakesAboutOneAndAHalfSecondsAfterMissionControlOpened) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    // Without Mission Control installed the sequence goes on all the same.
    EXPECT_EQ(run(), "");
    EXPECT_EQ(sim->simLog().lines()[1], "kestr/SpaceController: bundle com.apple.exposelauncher not found");
    EXPECT_NEAR(sim->virtualTime().now(), 0.55 + 0.3 + 0.2 + 0.04 + 0.55, 1e-9);
}

TEST_F(SpaceControllerTest, FailsBeforeAnythingVisibleHappens) {
    EXPECT_EQ(run(), "No primary display found");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: no primary screen"}));

    addDisplay(1, Rect(0, 0, 1440, 900));
    sim->simDisplays().eventSourceFails = true;
    sim->simLog().clear();
    EXPECT_EQ(run(), "Could not create CGEventSource");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: eventSource unavailable"}));
    EXPECT_TRUE(sim->simDisplays().warps().empty());
}

}  // namespace
}  // namespace kestr
