// Applications launched by an apply that show their window late on the X11 desktop: one
// wait for the first window, then the window placed when it comes, or given up once.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>

#include "Layout/AppLauncher.h"
#include "Layout/ApplyContext.h"
#include "Layout/LateWindows.h"
#include "Layout/LayoutApplier.h"
#include "Support/ItemBuilder.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

class X11LateWindowsTest : public BackendTest {
protected:
    std::string mainUUID() { return x11().displays().displayUUIDString(x11().displays().mainDisplayID()).value_or(""); }
    long logged(const std::string& line) {
        const auto& lines = recordedLog().lines();
        return std::count(lines.begin(), lines.end(), line);
    }
    bool loggedStartingWith(const std::string& start) {
        const auto& lines = recordedLog().lines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
    }
};

TEST_F(X11LateWindowsTest, AWindowAfterTheLaunchWaitIsDeferredThenPlacedWhenItComes) {
    // Its window maps 6 s after the start: past the one 5 s wait, well before 10 s.
    writeDesktopEntry("kestr-late",
                      "Name=Late\nExec=" + clientProgram() + " --detached --delay 6 --class KestrLate --title late");
    Layout kest;
    kest.id = Uuid::random();
    kest.items = {test::ItemBuilder("kestr-late", "Late").on(mainUUID(), Rect(120, 80, 640, 420))};
    auto applied = run(LayoutApplier::apply(kest, LayoutApplier::ApplyMode::restoreMissing,
                                            LayoutApplier::FrameSource::target, std::nullopt),
                       20);
    ASSERT_TRUE(applied.succeeded());
    EXPECT_EQ(applied.value().applied, 0);
    EXPECT_EQ(logged("kestr[apply restoreMissing]: DEFERRED Late [firstWindow] — will place when its window opens"), 1);

    ASSERT_TRUE(runUntil([&] { return loggedStartingWith("kestr[apply]: DEFERRED PLACED Late → "); }, 15));
    const auto apps = x11().workspace().runningApplications("kestr-late");
    ASSERT_EQ(apps.size(), 1u);
    const X11Owners::Owner* owner = x11().model().owners().find(apps.front().processIdentifier);
    ASSERT_TRUE(owner);
    ASSERT_EQ(owner->windows.size(), 1u);
    const xcb_window_t window = owner->windows.front();
    EXPECT_TRUE(settle([&] { return serverFrame(window) == Rect(120, 80, 640, 420); }));
}

TEST_F(X11LateWindowsTest, ALaunchedApplicationRunsUntilItsProcessEndsAndOneWithoutAWindowIsGivenUpOnce) {
    writeDesktopEntry("kestr-never", "Name=Never\nExec=" + clientProgram() + " --detached --delay 600");
    x11().x11Workspace().launchWindowWait = 0.3;
    auto launched = run(AppLauncher::ensureRunning("kestr-never", true, 0.3, 0.1), 10);
    ASSERT_TRUE(launched.done());
    EXPECT_THROW(launched.rethrow(), AppLauncher::LaunchError);
    // Windowless, it runs: it is the application.
    const auto apps = x11().workspace().runningApplications("kestr-never");
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps.front().localizedName, "Never");
    const std::int32_t pid = apps.front().processIdentifier;
    EXPECT_TRUE(x11().workspace().runningApplication(pid));

    // The late-window task, its half minute shortened to 2 s.
    const LayoutItem item = test::ItemBuilder("kestr-never", "Never").on(mainUUID(), Rect(0, 0, 400, 300));
    LayoutApplier::Placement placement{x11().displays().mainDisplayID(), mainUUID(), "kestr-never",
                                       Rect(0, 0, 400, 300)};
    const double started = loop().now();
    LateWindows::placeDeferred({LayoutApplier::DeferredPlacement{item, placement, item.targetFrame}}, {}, {}, 2.0);
    const std::string gaveUp = "kestr[apply]: DEFERRED GAVE UP Never — no window after 2s";
    ASSERT_TRUE(runUntil([&] { return logged(gaveUp) > 0; }, 10));
    EXPECT_GE(loop().now() - started, 2.0);
    EXPECT_EQ(logged(gaveUp), 1);

    ::kill(pid, SIGKILL);
    EXPECT_TRUE(runUntil([&] { return x11().workspace().runningApplications("kestr-never").empty(); }));
    EXPECT_FALSE(x11().workspace().runningApplication(pid));
}

// A window shown after the launch wait by a child of the launched process is the one
// placed, not a window of the same class that another process opened meanwhile.
TEST_F(X11LateWindowsTest, TheLateWindowIsTheLaunchedProcesssNotOneOfItsClassFromAnotherProcess) {
    writeDesktopEntry("kestr-own",
                      "Name=Own\nStartupWMClass=KestrOwn\nExec=sh -c '\"$0\" --detached --delay 1.5 "
                      "--class KestrOwn --title launched; true' " +
                          clientProgram());
    x11().x11Workspace().launchWindowWait = 0.3;
    auto launch = run(AppLauncher::ensureRunning("kestr-own", true, 0.3, 0.1), 10);
    std::int32_t launchedPID = 0;
    try {
        launch.rethrow();
    } catch (const AppLauncher::LaunchError& e) {
        launchedPID = e.pid();
    }
    ASSERT_GT(launchedPID, 0);
    // The launch leads a process group of its own; its child is not known as launched.
    const std::shared_ptr<void> endGroup(nullptr, [launchedPID](void*) { ::kill(-launchedPID, SIGKILL); });
    ClientOptions other;
    other.wmClass = "KestrOwn";
    other.title = "other";
    const xcb_window_t stranger = spawn(other).window();

    const Rect slot(100, 60, 500, 300);
    const LayoutItem item = test::ItemBuilder("kestr-own", "Own").on(mainUUID(), slot);
    LayoutApplier::Placement placement{x11().displays().mainDisplayID(), mainUUID(), "kestr-own", slot};
    LateWindows::placeDeferred({{item, placement, item.targetFrame, launchedPID}}, {}, {}, 10.0);
    ASSERT_TRUE(runUntil([&] { return loggedStartingWith("kestr[apply]: DEFERRED PLACED Own → "); }, 10));
    const auto launched = windowTitled("launched");
    ASSERT_TRUE(launched);
    EXPECT_TRUE(settle([&] { return serverFrame(*launched) == slot; }));
    EXPECT_NE(serverFrame(stranger), slot);
}

}  // namespace
}  // namespace kestr::x11test
