// Windows of launched applications that open after the apply: placed by the background
// task within half a second of opening, given up after half a minute.

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

using Mode = LayoutApplier::ApplyMode;

class DeferredPlacementTest : public test::ApplyFixture {
protected:
    long count(const std::string& line) { return std::count(lines().begin(), lines().end(), line); }
};

TEST_F(DeferredPlacementTest, LateWindowIsPlacedByTheBackgroundTaskSoonAfterItOpens) {
    // The launch wait ends 5.1 s in; the window opens 7.3 s in, about 2 s later.
    install("com.example.Slow", "Slow", 7.2);
    auto task = start(kest({item("com.example.Slow", "Slow", leftHalf)}), Mode::restoreMissing, leftID);
    sim->virtualTime().advance(5.2);
    ASSERT_TRUE(task.done());
    EXPECT_EQ(task.value().applied, 0);
    EXPECT_TRUE(task.value().skipped.empty());
    EXPECT_TRUE(task.value().effectiveLayout->items.empty());
    EXPECT_EQ(lines().back(),
              "kestr[apply restoreMissing]: DEFERRED Slow [firstWindow] — will place when its window opens");

    const std::int32_t pid = sim->world().runningProcesses("com.example.Slow")[0]->pid;
    sim->virtualTime().advance(2.3);  // 7.5 s: the window is open, not yet placed
    ASSERT_EQ(windowsOf(pid).size(), 1u);
    EXPECT_NE(frameOf(windowsOf(pid)[0]), leftHalf);
    sim->virtualTime().advance(0.2);  // 7.7 s: the pass at 7.6 s placed it
    EXPECT_EQ(frameOf(windowsOf(pid)[0]), leftHalf);
    EXPECT_EQ(lines().back(), "kestr[apply]: DEFERRED PLACED Slow → D15B1A70 x=0 y=25");

    sim->virtualTime().runUntilIdle(60);
    EXPECT_EQ(std::count_if(lines().begin(), lines().end(),
                            [](const std::string& l) { return l.find("GAVE UP") != std::string::npos; }),
              0);
}

TEST_F(DeferredPlacementTest, ApplicationThatNeverShowsAWindowGivesUpOnceAfterHalfAMinute) {
    install("com.example.Mute", "Mute", std::nullopt);
    applyToEnd(kest({item("com.example.Mute", "Mute", leftHalf)}), Mode::restoreMissing, leftID);
    EXPECT_EQ(count("kestr[apply]: DEFERRED GAVE UP Mute — no window after 30s"), 1);
    EXPECT_EQ(lines().back(), "kestr[apply]: DEFERRED GAVE UP Mute — no window after 30s");
    // The apply ended at 5.1 s; the task gives up with the first pass at or past its
    // deadline 30 s later.
    EXPECT_GE(sim->virtualTime().now(), 35.09);
    EXPECT_LE(sim->virtualTime().now(), 35.61);
}

TEST_F(DeferredPlacementTest, QuitApplicationLeavesThePendingListSilently) {
    install("com.example.Mute", "Mute", std::nullopt);
    auto task = start(kest({item("com.example.Mute", "Mute", leftHalf)}), Mode::restoreMissing, leftID);
    sim->virtualTime().advance(6);
    ASSERT_TRUE(task.done());
    sim->world().terminate(sim->world().runningProcesses("com.example.Mute")[0]->pid);
    sim->virtualTime().runUntilIdle(60);
    EXPECT_EQ(std::count_if(lines().begin(), lines().end(),
                            [](const std::string& l) { return l.find("kestr[apply]: ") == 0; }),
              0);
}

TEST_F(DeferredPlacementTest, LateWindowNeverTakesAWindowTheApplyGaveToAnotherItem) {
    // The first item's launch wait times out; the second item then gets a fresh window
    // (5.3 s). The application's own first window opens at 7.3 s. The late placement
    // must leave the second item's window alone and take the later one.
    install("com.example.Slow", "Slow", 7.2);
    const Layout layout =
        kest({item("com.example.Slow", "Slow", leftHalf), item("com.example.Slow", "Slow", rightHalf)});

    const auto report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_EQ(report.applied, 1);
    const AXElementList windows = windowsOf(sim->world().runningProcesses("com.example.Slow")[0]->pid);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(frameOf(windows[1]), rightHalf);  // the fresh window, opened first
    EXPECT_EQ(frameOf(windows[0]), leftHalf);   // the application's own, placed late
    EXPECT_EQ(count("kestr[apply]: DEFERRED PLACED Slow → D15B1A70 x=0 y=25"), 1);
}

TEST_F(DeferredPlacementTest, LateWindowTaskUnhidesItsApplicationOnEveryPass) {
    install("com.example.Slow", "Slow", 7.2);
    auto task = start(kest({item("com.example.Slow", "Slow", leftHalf)}), Mode::restoreMissing, leftID);
    sim->virtualTime().advance(5.2);
    ASSERT_TRUE(task.done());
    SimProcess& process = *sim->world().runningProcesses("com.example.Slow")[0];
    process.hidden = true;
    sim->virtualTime().advance(0.5);  // the pass at 5.6 s
    EXPECT_FALSE(process.hidden);
    process.hidden = true;
    sim->virtualTime().advance(0.5);
    EXPECT_FALSE(process.hidden);
}

}  // namespace
}  // namespace kestr
