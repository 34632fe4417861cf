#include <gtest/gtest.h>

#include "Space/SpaceController.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class SpaceControllerTest : public test::SimTest {
protected:
    void addDisplay(DisplayID id, Rect bounds) {
        sim->world().displays.push_back(SimDisplay{id, "00000000-0000-0000-0000-00000000000" + std::to_string(id),
                                                   bounds, {}});
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

    // Parked at the top of the primary display, then on its add button, then back.
    EXPECT_EQ(sim->simDisplays().warps(), (std::vector<Point>{{756, 1}, {1476, 30}, {before.x, 982 - before.y}}));
    const auto& events = sim->simDisplays().postedEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (SimDisplays::PostedEvent{EventType::leftMouseDown, Point{1476, 30}, events[0].time}));
    EXPECT_EQ(events[1].type, EventType::leftMouseUp);
    EXPECT_NEAR(events[1].time - events[0].time, 0.04, 1e-9);
    EXPECT_TRUE(sim->simWorkspace().openRequests().at(0).configuration.activates);
    EXPECT_EQ(sim->simLog().lines(),
              (std::vector<std::string>{"kestr/SpaceController: primary frame=(0.0, 0.0, 1512.0, 982.0)",
                                        "kestr/SpaceController: MC launched + opened delay elapsed",
                                        "kestr/SpaceController: cursor parked at top to reveal bar",
                                        "kestr/SpaceController: clicked + at (1476.0, 30.0)"}));
}

TEST_F(SpaceControllerTest, FailsBeforeAnythingVisibleHappensAndGoesOnWithoutMissionControl) {
    EXPECT_EQ(run(), "No primary display found");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: no primary screen"}));

    addDisplay(1, Rect(0, 0, 1440, 900));
    sim->simDisplays().eventSourceFails = true;
    sim->simLog().clear();
    EXPECT_EQ(run(), "Could not create CGEventSource");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: eventSource unavailable"}));
    EXPECT_TRUE(sim->simDisplays().warps().empty());

    sim->simDisplays().eventSourceFails = false;
    sim->simLog().clear();
    const double start = sim->virtualTime().now();
    EXPECT_EQ(run(), "");
    EXPECT_EQ(sim->simLog().lines()[1], "kestr/SpaceController: bundle com.apple.exposelauncher not found");
    EXPECT_NEAR(sim->virtualTime().now() - start, 0.55 + 0.3 + 0.2 + 0.04 + 0.55, 1e-9);
}

}  // namespace
}  // namespace kestr
