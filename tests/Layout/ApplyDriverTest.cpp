// Whole applies on the simulated desktop: the windows' final frames, the report, the
// log and the order of events.

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

using Report = LayoutApplier::ApplyReport;
using Mode = LayoutApplier::ApplyMode;

class ApplyDriverTest : public test::ApplyFixture {
protected:
    std::vector<std::string> reasons(const Report& report) {
        std::vector<std::string> out;
        for (const auto& skipped : report.skipped) out.push_back(skipped.item.appName + ": " + skipped.reason);
        return out;
    }
    long count(const std::string& line) { return std::count(lines().begin(), lines().end(), line); }
};

TEST_F(ApplyDriverTest, ReusedWindowIsMovedLoggedAndReported) {
    install("com.example.Notes", "Notes");
    const AXElement window = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    const Layout layout = kest({item("com.example.Notes", "Notes", leftHalf)});

    const Report report = applyToEnd(layout, Mode::reuseExisting);

    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_EQ(report.applied, 1);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "kestr[apply reuseExisting]: PLACEMENT Notes [firstWindow] → D15B1A70 x=0 y=25 w=720 h=875",
                           "kestr[apply reuseExisting]: APPLIED Notes [firstWindow]",
                       }));
    EXPECT_TRUE(sim->simAlerts().requests.empty());
}

TEST_F(ApplyDriverTest, EmptyKestPlacesNothingAndKeepsItsIdentity) {
    Layout layout = kest({});
    layout.name = "Empty";
    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);
    EXPECT_EQ(report.applied, 0);
    ASSERT_TRUE(report.effectiveLayout);
    EXPECT_EQ(report.effectiveLayout->id, layout.id);
    EXPECT_EQ(report.effectiveLayout->name, "Empty");
    EXPECT_TRUE(report.effectiveLayout->items.empty());
    EXPECT_TRUE(report.effectiveLayout->edgeGroups.empty());
    EXPECT_TRUE(lines().empty());
}

TEST_F(ApplyDriverTest, EveryLaunchAndWindowFailureIsSkippedWithItsReason) {
    install("com.example.Idle", "Idle");
    install("com.example.Broken", "Broken").launchError = "The file couldn't be opened.";
    install("com.example.Mute", "Mute", std::nullopt);
    install("com.example.Notes", "Notes");
    addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    install("com.apple.Safari", "Safari").reopenDelay = std::nullopt;
    run("com.apple.Safari");
    install("com.example.Pad", "Pad");
    addWindow(run("com.example.Pad"), "Pad", Rect(100, 100, 500, 400));
    refusingScripts = {"com.example.Pad"};

    LayoutItem idle = item("com.example.Idle", "Idle", Rect(0, 25, 400, 300));
    idle.launchIfMissing = false;
    const Layout layout = kest({
        item("com.example.Absent", "Absent", Rect(0, 25, 400, 300)),
        idle,
        item("com.example.Broken", "Broken", Rect(0, 25, 400, 300)),
        item("com.example.Mute", "Mute", Rect(0, 25, 400, 15)),
        item("com.example.Notes", "Notes", Rect(0, 25, 19, 500)),
        item("com.apple.Safari", "Safari", Rect(0, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(400, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(800, 25, 400, 300)),
    });

    const Report report = applyToEnd(layout, Mode::restoreMissing);

    EXPECT_EQ(reasons(report),
              (std::vector<std::string>{
                  "Absent: App com.example.Absent is not installed.",
                  "Idle: app not running and launchIfMissing=false",
                  "Broken: Failed to launch com.example.Broken: The file couldn't be opened.",
                  "Mute: App com.example.Mute launched but no windows appeared within 5s.",
                  "Notes: Saved window size is 0 — re-capture needed (Notes)",
                  "Safari: new window failed for multi-window app com.apple.Safari: Asked com.apple.Safari for a "
                  "new window but none appeared.",
                  "Pad: could not open a new window: com.example.Pad refused a new window (AppleScript -1708: "
                  "can't make new window).",
              }));
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(count("kestr[apply restoreMissing]: SKIPPED Idle — app not running and launchIfMissing=false"), 1);
    EXPECT_EQ(count("kestr[apply restoreMissing]: PLACEMENT Mute [firstWindow] → NONE"), 1);
    // Both running applications that got no window are named in one notice.
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "2 apps couldn't be placed");
    EXPECT_EQ(sim->simAlerts().requests[0].iconBundleIDs,
              (std::vector<std::string>{"com.apple.Safari", "com.example.Pad"}));
}

TEST_F(ApplyDriverTest, ReuseExistingLaunchesNothingAndGivesEachWindowToOneItem) {
    install("com.example.Idle", "Idle");
    install("com.example.Notes", "Notes");
    const AXElement window = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    const Layout layout = kest({
        item("com.example.Idle", "Idle", Rect(800, 25, 400, 300)),
        // No window's title matches, yet the nearest unclaimed window serves.
        item("com.example.Notes", "Notes", leftHalf, leftID, WindowMatcher::titleContains("Zzz")),
        item("com.example.Notes", "Notes", rightHalf),
    });

    const Report report = applyToEnd(layout, Mode::reuseExisting);

    EXPECT_EQ(reasons(report), (std::vector<std::string>{"Idle: app not open", "Notes: no open window for Notes"}));
    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());
    EXPECT_TRUE(freshWindowScripts().empty());
    EXPECT_TRUE(sim->simAlerts().requests.empty());
}

TEST_F(ApplyDriverTest, LaunchedApplicationGivesItsFirstWindowToTheFirstItemAndOpensOneForTheSecond) {
    install("com.example.Notes", "Notes", 0.5);
    const Layout layout = kest({item("com.example.Notes", "Notes", leftHalf), item("com.example.Notes", "Notes", rightHalf)});

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    const auto running = sim->world().runningProcesses("com.example.Notes");
    ASSERT_EQ(running.size(), 1u);
    const AXElementList windows = windowsOf(running[0]->pid);
    ASSERT_EQ(windows.size(), 2u);
    // The fresh window is listed first (frontmost); the application's own first window last.
    EXPECT_EQ(frameOf(windows[1]), leftHalf);
    EXPECT_EQ(frameOf(windows[0]), rightHalf);
    EXPECT_EQ(freshWindowScripts(), std::vector<std::string>{"com.example.Notes"});
    EXPECT_EQ(report.applied, 2);
    ASSERT_TRUE(report.effectiveLayout);
    ASSERT_EQ(report.effectiveLayout->items.size(), 2u);
    ASSERT_EQ(report.effectiveLayout->edgeGroups.size(), 1u);
    EXPECT_EQ(report.effectiveLayout->edgeGroups[0].axis, Axis::vertical);
    EXPECT_EQ(report.effectiveLayout->edgeGroups[0].coordinate, 720);
}

TEST_F(ApplyDriverTest, FreshWindowsOpensANewWindowBesideAMatchingOpenOne) {
    install("com.example.Notes", "Notes");
    const AXElement open = addWindow(run("com.example.Notes"), "Notes", leftHalf);
    const Layout layout = kest({item("com.example.Notes", "Notes", leftHalf)});

    const Report report = applyToEnd(layout, Mode::freshWindows, leftID);

    const AXElementList windows = windowsOf(sim->world().runningProcesses("com.example.Notes")[0]->pid);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(windows[0], open);
    EXPECT_EQ(frameOf(windows[0]), leftHalf);
    EXPECT_EQ(frameOf(open), leftHalf);
    EXPECT_EQ(freshWindowScripts(), std::vector<std::string>{"com.example.Notes"});
    EXPECT_EQ(report.applied, 1);
}

TEST_F(ApplyDriverTest, SecondOpeningApplyIsDroppedWhileTheFirstWaitsButAnEdgeMoveRuns) {
    install("com.example.Slow", "Slow", 2.0);
    install("com.example.Notes", "Notes");
    const AXElement notes = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    const Layout slow = kest({item("com.example.Slow", "Slow", leftHalf)});
    const Layout edgeMove = kest({item("com.example.Notes", "Notes", rightHalf)});

    auto first = start(slow, Mode::restoreMissing, leftID);
    sim->virtualTime().advance(0.5);
    ASSERT_FALSE(first.done());

    auto dropped = start(slow, Mode::restoreMissing, leftID);
    ASSERT_TRUE(dropped.done());
    EXPECT_EQ(dropped.value(), Report{});
    EXPECT_FALSE(dropped.value().effectiveLayout);
    EXPECT_EQ(lines().back(), "kestr[apply restoreMissing]: dropped re-entrant apply (one already in flight)");

    auto droppedFresh = start(slow, Mode::freshWindows, leftID);
    ASSERT_TRUE(droppedFresh.done());
    EXPECT_EQ(lines().back(), "kestr[apply freshWindows]: dropped re-entrant apply (one already in flight)");

    auto moved = start(edgeMove, Mode::reuseExisting, std::nullopt, FrameSource::target);
    sim->virtualTime().advance(0.1);
    ASSERT_TRUE(moved.done());
    EXPECT_FALSE(first.done());
    EXPECT_EQ(moved.value().applied, 1);
    EXPECT_EQ(frameOf(notes), rightHalf);

    sim->virtualTime().runUntilIdle(60);
    ASSERT_TRUE(first.done());
    EXPECT_EQ(first.value().applied, 1);
    // Only one launch was asked for.
    EXPECT_EQ(sim->simWorkspace().openRequests().size(), 1u);

    // Once the first has finished, the next opening apply runs again.
    auto again = start(edgeMove, Mode::restoreMissing, leftID);
    sim->virtualTime().runUntilIdle(60);
    ASSERT_TRUE(again.done());
    EXPECT_TRUE(again.value().effectiveLayout);
}

TEST_F(ApplyDriverTest, WindowOnAnotherDisplayMovesOnlyAfterTheUserAgrees) {
    addRightDisplay();
    install("com.example.Pad", "Pad");
    const AXElement window = addWindow(run("com.example.Pad"), "Pad", Rect(1500, 100, 600, 400));
    refusingScripts = {"com.example.Pad"};
    const Layout layout = kest({item("com.example.Pad", "Pad", leftHalf)});

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_EQ(report.applied, 1);
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Move Pad to this screen?");
    EXPECT_EQ(sim->simAlerts().requests[0].informativeText,
              "These apps are already open on another screen and will be moved here:\n"
              "• Pad: Display 2 → Display 1 (main)");
    EXPECT_EQ(count("kestr: new-window failed for com.example.Pad (com.example.Pad refused a new window "
                    "(AppleScript -1708: can't make new window).); moving an existing window to the target screen"),
              1);
    // The window is moved after the last item is logged.
    EXPECT_EQ(lines().back(), "kestr[apply restoreMissing]: APPLIED Pad [firstWindow]");
}

TEST_F(ApplyDriverTest, DeclinedMoveLeavesTheWindowButTheItemCountsAsApplied) {
    addRightDisplay();
    install("com.example.Pad", "Pad");
    install("com.example.Pen", "Pen");
    const AXElement pad = addWindow(run("com.example.Pad"), "Pad", Rect(1500, 100, 600, 400));
    const AXElement pen = addWindow(run("com.example.Pen"), "Pen", Rect(2000, 500, 600, 400));
    refusingScripts = {"com.example.Pad", "com.example.Pen"};
    sim->simAlerts().answers = {alertFirstButtonReturn + 1};
    const Layout layout =
        kest({item("com.example.Pad", "Pad", leftHalf), item("com.example.Pen", "Pen", rightHalf)});

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_EQ(frameOf(pad), Rect(1500, 100, 600, 400));
    EXPECT_EQ(frameOf(pen), Rect(2000, 500, 600, 400));
    EXPECT_EQ(report.applied, 2);
    ASSERT_TRUE(report.effectiveLayout);
    ASSERT_EQ(report.effectiveLayout->items.size(), 2u);
    EXPECT_EQ(report.effectiveLayout->items[0].targetFrame, frameOn(leftID, 0, 25, 720, 875));
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Move 2 windows to this screen?");
}

TEST_F(ApplyDriverTest, WithoutAnAnchorTheWindowOnAnotherDisplayIsMovedAtOnce) {
    addRightDisplay();
    install("com.example.Pad", "Pad");
    const AXElement window = addWindow(run("com.example.Pad"), "Pad", Rect(1500, 100, 600, 400));
    refusingScripts = {"com.example.Pad"};

    applyToEnd(kest({item("com.example.Pad", "Pad", leftHalf)}), Mode::freshWindows);

    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_TRUE(sim->simAlerts().requests.empty());
}

TEST_F(ApplyDriverTest, SingleWindowApplicationIsListedOnceHoweverManyItemsFail) {
    install("com.example.Pad", "Pad");
    const AXElement window = addWindow(run("com.example.Pad"), "Pad", Rect(100, 100, 500, 400));
    refusingScripts = {"com.example.Pad"};
    const Layout layout = kest({
        item("com.example.Pad", "Pad", Rect(0, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(400, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(800, 25, 400, 300)),
    });

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_EQ(frameOf(window), Rect(0, 25, 400, 300));
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(report.skipped.size(), 2u);
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "“Pad” couldn't be placed");
    EXPECT_EQ(sim->simAlerts().requests[0].iconBundleIDs, std::vector<std::string>{"com.example.Pad"});
}

TEST_F(ApplyDriverTest, WindowlessApplicationIsAskedToReopenAWindow) {
    install("com.example.Pad", "Pad");
    const std::int32_t pid = run("com.example.Pad");
    refusingScripts = {"com.example.Pad"};

    const Report report = applyToEnd(kest({item("com.example.Pad", "Pad", leftHalf)}), Mode::restoreMissing, leftID);

    ASSERT_EQ(windowsOf(pid).size(), 1u);
    EXPECT_EQ(frameOf(windowsOf(pid)[0]), leftHalf);
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(count("kestr: reopened windowless com.example.Pad to place it"), 1);
    EXPECT_TRUE(sim->simAlerts().requests.empty());
}

TEST_F(ApplyDriverTest, ChromeWebApplicationIsNeverAskedForAFreshWindow) {
    const std::string webApp = "com.google.Chrome.app.mail";
    install(webApp, "Mail");
    const std::int32_t pid = run(webApp);
    const AXElement window = addWindow(pid, "Mail", Rect(100, 100, 500, 400));

    applyToEnd(kest({item(webApp, "Mail", leftHalf)}), Mode::freshWindows);
    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_TRUE(sim->simScriptHost().sources().empty());

    addWindow(pid, "Mail 2", Rect(150, 150, 500, 400));
    const Report report = applyToEnd(kest({item(webApp, "Mail", rightHalf)}), Mode::freshWindows);
    EXPECT_EQ(reasons(report),
              std::vector<std::string>{"Mail: new window failed for multi-window app " + webApp + ": " + webApp +
                                       " refused a new window (AppleScript -2710: Chrome web app can't open a new "
                                       "window)."});
}

TEST_F(ApplyDriverTest, EffectiveKestHoldsOnlyThePlacedItemsAtTheirFramesAsApplied) {
    install("com.example.Notes", "Notes");
    const AXElement window = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    LayoutItem placed = item("com.example.Notes", "Notes", Rect(100, 100, 300, 300));
    placed.capturedFrame = frameOn(leftID, 0, 25, 720, 875);
    placed.capturedFrame->dispW = 1440;
    placed.capturedFrame->dispH = 900;
    placed.capturedWindowTitle = "Notes";
    Layout layout = kest({item("com.example.Absent", "Absent", rightHalf), placed,
                          item("com.example.Notes", "Notes", Rect(800, 25, 400, 10))});
    layout.edgeGroups = {EdgeGroup{}};

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_EQ(report.applied, 1);
    ASSERT_TRUE(report.effectiveLayout);
    const Layout& effective = *report.effectiveLayout;
    EXPECT_EQ(effective.id, layout.id);
    ASSERT_EQ(effective.items.size(), 1u);
    LayoutItem expected = placed;
    expected.targetFrame = frameOn(leftID, 0, 25, 720, 875);
    expected.capturedFrame = expected.targetFrame;
    EXPECT_EQ(effective.items[0], expected);
    EXPECT_TRUE(effective.edgeGroups.empty());
}

TEST_F(ApplyDriverTest, ItemsURLIsOpenedOnlyWhenTheItemIsPlaced) {
    install("com.example.Notes", "Notes");
    addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    LayoutItem placed = item("com.example.Notes", "Notes", leftHalf);
    placed.openURL = Url::parse("https://example.com/a");
    LayoutItem skipped = item("com.example.Notes", "Notes", rightHalf);
    skipped.openURL = Url::parse("https://example.com/b");

    applyToEnd(kest({placed, skipped}), Mode::reuseExisting, std::nullopt, FrameSource::target);

    const auto& requests = sim->simWorkspace().openURLsRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].urls, std::vector<std::string>{"https://example.com/a"});
    EXPECT_EQ(requests[0].applicationURL, "/Applications/Notes.app");
    EXPECT_FALSE(requests[0].configuration.activates);
}

}  // namespace
}  // namespace kestr
