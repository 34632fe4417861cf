#include <gtest/gtest.h>

#include <sstream>

#include "Space/SpaceController.h"
#include "Support/DesktopTest.h"
#include "Support/StartedTask.h"

namespace kestr {
namespace {

class SpaceControllerTest : public test::DesktopTest {
protected:
    void installMissionControl() {
        app("com.apple.exposelauncher", "Mission Control").firstWindowDelay(std::nullopt).install();
    }
    bool missionControlRunning() { return !sim->world().runningProcesses("com.apple.exposelauncher").empty(); }

    // What the user would see happen, in order, with the time it happened: Mission
    // Control coming up, pointer moves and button presses, watched in 10 ms steps.
    struct Happening {
        std::string what;
        double time;
    };
    std::vector<Happening> watch() {
        std::vector<Happening> seen;
        auto run = test::start(SpaceController::createNewSpaceAndSwitch());
        std::size_t warps = 0, events = 0;
        bool missionControl = false;
        const auto& displays = sim->simDisplays();
        for (int step = 0; step < 1000 && !run.done(); ++step) {
            sim->virtualTime().advance(0.01);
            const double now = sim->virtualTime().now();
            if (!missionControl && missionControlRunning()) {
                missionControl = true;
                seen.push_back({"Mission Control", now});
            }
            for (; warps < displays.warps().size(); ++warps) {
                const Point p = displays.warps()[warps];
                seen.push_back({"pointer " + text(p), now});
            }
            for (; events < displays.postedEvents().size(); ++events) {
                const auto& e = displays.postedEvents()[events];
                const bool down = e.type == EventType::leftMouseDown;
                seen.push_back({(down ? "down " : "up ") + text(e.global), now});
            }
        }
        EXPECT_TRUE(run.succeeded());
        return seen;
    }
    static std::string text(Point p) {
        std::ostringstream out;
        out << "(" << p.x << ", " << p.y << ")";
        return out.str();
    }
    static std::vector<std::string> whats(const std::vector<Happening>& happenings) {
        std::vector<std::string> out;
        for (const auto& h : happenings) out.push_back(h.what);
        return out;
    }
    // Runs the sequence to its end; returns the failure text, or "".
    std::string run() {
        auto run = test::start(SpaceController::createNewSpaceAndSwitch());
        sim->virtualTime().runUntilIdle();
        EXPECT_TRUE(run.done());
        try {
            run.rethrow();
        } catch (const SpaceController::Failure& f) {
            return f.what();
        }
        return "";
    }
};

// Each step waits for the one before to take effect: the pointer moves only once Mission
// Control is up, rests at the top while the Spaces bar unfolds, presses the add button
// of the display at the origin (not the one with the key window), and comes back.
TEST_F(SpaceControllerTest, ClicksTheAddButtonOfThePrimaryDisplayOneStepAtATime) {
    addDisplay(2, Rect(-1920, 0, 1920, 1080));
    addDisplay(1, Rect(0, 0, 1512, 982));
    sim->world().keyScreen = 0;
    installMissionControl();
    sim->world().pointer = Point{100, 200};

    const auto seen = watch();
    EXPECT_EQ(whats(seen), (std::vector<std::string>{"Mission Control", "pointer (756, 1)", "pointer (1476, 30)",
                                                     "down (1476, 30)", "up (1476, 30)", "pointer (100, 200)"}));
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GT(seen[i].time, seen[i - 1].time) << seen[i].what << " came at once after " << seen[i - 1].what;
    EXPECT_TRUE(sim->simWorkspace().openRequests().at(0).configuration.activates);
    EXPECT_EQ(sim->simLog().lines().back(), "kestr/SpaceController: clicked + at (1476.0, 30.0)");
}

TEST_F(SpaceControllerTest, FailsBeforeAnythingVisibleHappens) {
    installMissionControl();
    const auto nothingVisible = [&] {
        EXPECT_TRUE(sim->simDisplays().warps().empty());
        EXPECT_TRUE(sim->simDisplays().postedEvents().empty());
        EXPECT_TRUE(sim->simWorkspace().openRequests().empty());
    };
    EXPECT_EQ(run(), "No primary display found");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: no primary screen"}));
    nothingVisible();

    addDisplay(1, Rect(0, 0, 1440, 900));
    sim->simDisplays().eventSourceFails = true;
    sim->simLog().clear();
    EXPECT_EQ(run(), "Could not create CGEventSource");
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr/SpaceController: eventSource unavailable"}));
    nothingVisible();
}

// Where no synthetic click may drive the desktop, the desktop is asked for a workspace.
TEST_F(SpaceControllerTest, WithoutSyntheticInputTheDesktopAddsAWorkspaceAndShowsIt) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    sim->simCapabilities.syntheticInputToDesktop = false;
    EXPECT_EQ(run(), "");
    EXPECT_EQ(sim->world().currentSpace, 2);
    EXPECT_TRUE(sim->simDisplays().warps().empty());
    EXPECT_TRUE(sim->simDisplays().postedEvents().empty());
    EXPECT_EQ(sim->simLog().lines(),
              (std::vector<std::string>{"kestr/SpaceController: workspace 2 of 2 shown (was 1)"}));
}

// Without Mission Control the click still happens, wherever it lands.
TEST_F(SpaceControllerTest, GoesOnWithoutMissionControl) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    sim->world().pointer = Point{10, 20};
    EXPECT_EQ(whats(watch()), (std::vector<std::string>{"pointer (720, 1)", "pointer (1404, 30)", "down (1404, 30)",
                                                        "up (1404, 30)", "pointer (10, 20)"}));
    EXPECT_EQ(sim->simLog().lines()[1], "kestr/SpaceController: bundle com.apple.exposelauncher not found");
}

}  // namespace
}  // namespace kestr
