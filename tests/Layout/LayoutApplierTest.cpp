// Whole applies on the simulated desktop: the windows' final frames, report, log and notices.

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/ApplyFixture.h"
#include "Support/BothDesktops.h"

namespace kestr {
namespace {

using Report = LayoutApplier::ApplyReport;
using Mode = LayoutApplier::ApplyMode;

class LayoutApplierTest : public test::ApplyFixture {
protected:
    std::vector<std::string> reasons(const Report& report) {
        std::vector<std::string> out;
        for (const auto& skipped : report.skipped) out.push_back(skipped.item.appName + ": " + skipped.reason);
        return out;
    }
    long count(const std::string& line) { return std::count(lines().begin(), lines().end(), line); }
    const AlertRequest& onlyAlert() {
        EXPECT_EQ(sim->simAlerts().requests.size(), 1u);
        return sim->simAlerts().requests.back();
    }
};

TEST_F(LayoutApplierTest, EveryLaunchAndWindowFailureIsSkippedWithItsReason) {
    install("com.example.Idle", "Idle");
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
        item("com.example.Mute", "Mute", Rect(0, 25, 400, 15)),
        item("com.example.Notes", "Notes", Rect(0, 25, 19, 500)),
        item("com.apple.Safari", "Safari", Rect(0, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(400, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(800, 25, 400, 300)),
        item("com.example.Pad", "Pad", Rect(800, 325, 400, 300)),
    });

    const Report report = applyToEnd(layout, Mode::restoreMissing);

    EXPECT_EQ(reasons(report),
              (std::vector<std::string>{
                  "Absent: App com.example.Absent is not installed.",
                  "Idle: app not running and launchIfMissing=false",
                  "Mute: App com.example.Mute launched but no windows appeared within 5s.",
                  "Notes: Saved window size is 0 — re-capture needed (Notes)",
                  "Safari: new window failed for multi-window app com.apple.Safari: Asked com.apple.Safari for a "
                  "new window but none appeared.",
                  "Pad: could not open a new window: com.example.Pad refused a new window (AppleScript -1708: "
                  "can't make new window).",
                  "Pad: could not open a new window: com.example.Pad refused a new window (AppleScript -1708: "
                  "can't make new window).",
              }));
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(count("kestr[apply restoreMissing]: SKIPPED Idle — app not running and launchIfMissing=false"), 1);
    EXPECT_EQ(count("kestr[apply restoreMissing]: PLACEMENT Mute [firstWindow] → NONE"), 1);
    // Both running applications that got no window are named once in one notice.
    const AlertRequest& alert = onlyAlert();
    EXPECT_EQ(alert.messageText, "2 apps couldn't be placed");
    EXPECT_NE(alert.informativeText.find(":\n\n• \u2068Safari\u2069\n• \u2068Pad\u2069\n\nMove them"),
              std::string::npos);
    EXPECT_EQ(alert.iconBundleIDs, (std::vector<std::string>{"com.apple.Safari", "com.example.Pad"}));
}

// Application names come from other programs (and from shared kest files): a log line
// that quotes one shows its escapes, bell, line breaks and direction overrides as marks,
// and stays one line.
TEST_F(LayoutApplierTest, ALogLineQuotingAHostileNameStaysOneCleanLine) {
    const std::string name = "Idle\x1b]0;owned\x07\u202Eevil\nkestr: forged\r\u009b" + std::string(1, '\0');
    LayoutItem idle = item("com.example.Idle", name, Rect(0, 25, 400, 300));
    idle.launchIfMissing = false;
    applyToEnd(kest({idle}), Mode::restoreMissing);
    EXPECT_EQ(count("kestr[apply restoreMissing]: SKIPPED Idle\uFFFD]0;owned\uFFFD\uFFFDevil\uFFFDkestr: "
                    "forged\uFFFD\uFFFD\uFFFD \u2014 app not running and launchIfMissing=false"),
              1);
    for (const std::string& line : lines()) {
        EXPECT_EQ(line.find_first_of(std::string("\x1b\x07\n\r", 4) + std::string(1, '\0')), std::string::npos) << line;
        EXPECT_EQ(line.find("\u202E"), std::string::npos) << line;
    }
}

// The notice names an application as its program gave the name: cleaned and isolated,
// so no escape, bell or override reaches the alert.
TEST_F(LayoutApplierTest, TheUnplacedNoticeShowsAHostileNameCleanedAndIsolated) {
    const std::string name = "Sa\x1b[5m\x07\u202Efari\u2028";
    install("com.apple.Safari", name).reopenDelay = std::nullopt;
    run("com.apple.Safari");
    applyToEnd(kest({item("com.apple.Safari", name, Rect(0, 25, 400, 300))}), Mode::restoreMissing);
    const std::string shown = "\u2068Sa\uFFFD[5m\uFFFD\uFFFDfari\uFFFD\u2069";
    EXPECT_EQ(onlyAlert().messageText, "“" + shown + "” couldn't be placed");
    EXPECT_NE(onlyAlert().informativeText.find("\n\n• " + shown + "\n\n"), std::string::npos);
}

// A frame far off its display (a damaged or hand-edited kest) never sends a window
// there: the window stays on the display, and a frame no window can take is skipped.
TEST_F(LayoutApplierTest, ExtremeFramesAreKeptOnTheDisplayOrSkippedWithTheirReason) {
    install("com.example.Notes", "Notes");
    install("com.example.Pad", "Pad");
    const AXElement notes = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    LayoutItem far = item("com.example.Notes", "Notes", Rect(0, 0, 500, 400));
    far.targetFrame = ScreenFrame{
        "00000000-0000-4000-8000-000000000001", ScreenFrame::coordinateLimit, 100, 500, 400, {}, {}, {}, {}};
    LayoutItem overflowing = item("com.example.Pad", "Pad", Rect(0, 0, 500, 400));
    overflowing.targetFrame.x = 1e308;
    overflowing.targetFrame.width = 1e308;

    const Report report = applyToEnd(kest({far, overflowing}), Mode::restoreMissing, leftID);

    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(reasons(report),
              (std::vector<std::string>{"Pad: Saved frame is out of range — re-capture needed (Pad)"}));
    EXPECT_EQ(frameOf(notes), Rect(0, 25, 1440, 875)) << "the missing display's region laid onto the live one";
    EXPECT_TRUE(sim->world().runningProcesses("com.example.Pad").empty()) << "nothing launched for it";
}

// Thirteen windows side by side, 110 points each, fill the display's width. Whether they
// say they take less or nothing is known of them (their application is not open), they
// count with the 120 points assumed for their application: they overlap, never pass the
// edge.
TEST_F(LayoutApplierTest, WindowsKeepTheSizesTheyTakeAndNeverPassTheDisplaysEdge) {
    for (const bool open : {true, false}) {
        SetUp();
        std::vector<LayoutItem> items;
        for (int i = 0; i < 13; ++i) {
            const std::string bundleID = "com.example.tool" + std::to_string(i);
            install(bundleID, "Tool");
            SimWindow own = window("Tool", Rect(300, 300, 500, 400));
            own.reportsSizeHints = true;
            own.minimumSize = Size{60, 60};
            if (open) sim->world().addWindow(run(bundleID), own);
            items.push_back(item(bundleID, "Tool", Rect(110 * i, 25, 110, 875)));
        }
        applyToEnd(kest(items), Mode::reuseExisting);
        std::vector<std::string> placed;
        for (const std::string& line : lines())
            if (line.find("PLACEMENT") != std::string::npos) placed.push_back(line.substr(line.find(" x=")));
        ASSERT_EQ(placed.size(), 13u);
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(placed[i], " x=" + std::to_string(110 * i) + " y=25 w=120 h=875") << open;
        TearDown();
    }
}

// A window's own minimum bounds that window alone: a minimised window of the same
// application, which no item asks for, does not make the others larger.
TEST_F(LayoutApplierTest, EachWindowIsBoundByItsOwnMinimumNotBySiblingWindows) {
    struct Case {
        Mode mode;
        Size secondMinimum;
        Rect second;
    };
    const Rect first(0, 25, 400, 300);
    for (const Case& c : {Case{Mode::reuseExisting, {1, 1}, Rect(400, 25, 400, 300)},
                          Case{Mode::restoreMissing, {1, 1}, Rect(400, 25, 400, 300)},
                          Case{Mode::reuseExisting, {500, 350}, Rect(400, 25, 500, 350)}}) {
        SetUp();
        install("com.example.Pad", "Pad");
        const std::int32_t pid = run("com.example.Pad");
        std::vector<AXElement> windows;
        for (const auto& [title, minimum] :
             {std::pair{"P1", Size{1, 1}}, {"P2", c.secondMinimum}, {"P3", {800, 200}}}) {
            windows.push_back(addWindow(pid, title, Rect(300, 300, 500, 400)));
            SimWindow& w = *sim->world().window(windows.back());
            w.reportsSizeHints = true;
            w.minimumSize = minimum;
        }
        sim->world().window(windows.back())->minimized = true;
        const Report report = applyToEnd(
            kest({item("com.example.Pad", "Pad", first, leftID, WindowMatcher::titleContains("P1")),
                  item("com.example.Pad", "Pad", Rect(400, 25, 400, 300), leftID, WindowMatcher::titleContains("P2"))}),
            c.mode);
        EXPECT_EQ(report.applied, 2);
        EXPECT_EQ(frameOf(windows[0]), first) << c.secondMinimum.width;
        EXPECT_EQ(frameOf(windows[1]), c.second) << c.secondMinimum.width;
        EXPECT_TRUE(sim->world().window(windows[2])->minimized);
        TearDown();
    }
}

// Windows that report next to no minimum (without size hints a window reports one pixel
// and its frame) beside windows larger than their slots: none is crushed below the
// application's minimum, and the next apply finds every window it placed.
TEST_F(LayoutApplierTest, WindowsWithoutAMinimumAreNotCrushedAndAreFoundAgain) {
    struct Group {
        std::string app;
        int windows;
        double slot;
        Size minimum;
    };
    const Size none{3, 3};
    for (const auto& groups :
         {std::vector<Group>{{"com.example.Wide", 4, 384, {478, 300}}, {"com.example.Term", 2, 192, none}},
          std::vector<Group>{{"com.example.Term", 1, 480, none},
                             {"com.example.Huge", 1, 480, {30000, 30000}},
                             {"com.example.Term", 2, 480, none}}}) {
        SetUp();
        addRightDisplay();
        std::vector<LayoutItem> items;
        std::vector<AXElement> windows;
        double x = 0;
        for (const Group& g : groups) {
            if (!sim->world().application(g.app)) install(g.app, g.app);
            refusingScripts.insert(g.app);
            const auto running = sim->world().runningProcesses(g.app);
            const std::int32_t pid = running.empty() ? run(g.app) : running.front()->pid;
            for (int k = 0; k < g.windows; ++k, x += g.slot) {
                SimWindow own = window(g.app, Rect(1540 + x / 2, 200, 500, 400));
                own.reportsSizeHints = true;
                own.minimumSize = g.minimum;
                windows.push_back(sim->world().addWindow(pid, own).element);
                items.push_back(item(g.app, g.app, Rect(x, 25, g.slot, 1055), 2));
            }
        }
        const Layout layout = kest(items);
        EXPECT_EQ(applyToEnd(layout, Mode::restoreMissing).applied, static_cast<int>(items.size()));
        for (const AXElement& w : windows)
            EXPECT_GE(frameOf(w).width(), 120) << sim->world().window(w)->title << " crushed";
        const Report again = applyToEnd(layout, Mode::restoreMissing);
        EXPECT_EQ(again.applied, static_cast<int>(items.size()));
        EXPECT_EQ(reasons(again), std::vector<std::string>{});
    }
}

// Two items of one application take two windows: the one nearest both slots (no minimum
// of its own) goes to the first, and the second counts with the minimum of the window
// it gets, so that one stays on the display.
TEST_F(LayoutApplierTest, EachItemCountsWithTheMinimumOfTheWindowItWillTake) {
    install("com.example.Pad", "Pad");
    const std::int32_t pid = run("com.example.Pad");
    const AXElement nearest = addWindow(pid, "Pad", Rect(600, 300, 400, 300));
    SimWindow large = window("Pad", Rect(1300, 850, 500, 350));
    large.reportsSizeHints = true;
    large.minimumSize = Size{500, 350};
    const AXElement other = sim->world().addWindow(pid, large).element;
    applyToEnd(kest({item("com.example.Pad", "Pad", Rect(0, 500, 1440, 375)),
                     item("com.example.Pad", "Pad", Rect(1040, 25, 400, 300))}),
               Mode::reuseExisting);
    EXPECT_EQ(frameOf(nearest), Rect(0, 500, 1440, 375));
    EXPECT_EQ(frameOf(other), Rect(940, 25, 500, 350));
}

using ApplyOnBothDesktops = test::OnBothDesktops<LayoutApplierTest>;
RUN_ON_BOTH_DESKTOPS(ApplyOnBothDesktops);

TEST_P(ApplyOnBothDesktops, ReuseExistingLaunchesNothingAndGivesEachWindowToOneItem) {
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
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(count("kestr[apply reuseExisting]: PLACEMENT Notes [titleContains(\"Zzz\")] → D15B1A70 x=0 y=25 "
                    "w=720 h=875"),
              1);
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());
    EXPECT_TRUE(freshWindowScripts().empty());
}

TEST_P(ApplyOnBothDesktops, SecondOpeningApplyIsDroppedWhileTheFirstWaitsButAnEdgeMoveRuns) {
    install("com.example.Slow", "Slow", 2.0);
    install("com.example.Notes", "Notes");
    const AXElement notes = addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    const Layout slow = kest({item("com.example.Slow", "Slow", leftHalf)});
    const Layout edgeMove = kest({item("com.example.Notes", "Notes", rightHalf)});

    auto first = start(slow, Mode::restoreMissing, leftID);
    sim->virtualTime().advance(0.5);
    auto dropped = start(slow, Mode::freshWindows, leftID);
    ASSERT_TRUE(dropped.done());
    EXPECT_EQ(dropped.value(), Report{});
    EXPECT_EQ(lines().back(), "kestr[apply freshWindows]: dropped re-entrant apply (one already in flight)");
    // Said where the user looks, not only in the log.
    ASSERT_NE(sim->simToasts().current(), nullptr);
    EXPECT_EQ(sim->simToasts().current()->text, "“\u2068Work\u2069” wasn't applied: kestr is still applying a kest.");

    auto moved = start(edgeMove, Mode::reuseExisting, std::nullopt, FrameSource::target);
    sim->virtualTime().advance(0.1);
    ASSERT_TRUE(moved.done());
    EXPECT_FALSE(first.done());
    EXPECT_EQ(frameOf(notes), rightHalf);

    sim->virtualTime().runUntilIdle(60);
    ASSERT_TRUE(first.done());
    EXPECT_EQ(first.value().applied, 1);
    EXPECT_EQ(sim->simWorkspace().openRequests().size(), 1u);
    // Once the first has finished, the next opening apply runs again.
    EXPECT_TRUE(applyToEnd(edgeMove, Mode::restoreMissing, leftID).effectiveLayout);
}

// An apply waiting for the answer to its alert holds back every later one: those say
// what to do, wherever the user left the alert.
TEST_F(LayoutApplierTest, AnApplyDroppedWhileAnAlertWaitsSaysToAnswerIt) {
    install("com.apple.Safari", "Safari").reopenDelay = std::nullopt;
    run("com.apple.Safari");
    struct PressedAgain : Alerts {
        std::function<void()> whileOpen;
        int runModal(const AlertRequest&) override {
            whileOpen();
            return alertFirstButtonReturn;
        }
    } alert;
    std::optional<test::StartedTask<Report>> again;
    // The shortcut pressed again while the alert waits, as under its nested event loop.
    alert.whileOpen = [&] { again = start(kest({}), Mode::restoreMissing); };
    sim->simAlerts().forwardTo = &alert;
    applyToEnd(kest({item("com.apple.Safari", "Safari", Rect(0, 25, 400, 300))}), Mode::restoreMissing);
    ASSERT_TRUE(again && again->done());
    EXPECT_EQ(again->value(), Report{});
    ASSERT_FALSE(sim->simToasts().shown.empty());
    EXPECT_EQ(sim->simToasts().shown.back().text, "“\u2068Work\u2069” wasn't applied: first answer kestr's alert.");
    EXPECT_EQ(sim->simToasts().shown.back().feel, ToastFeel::alert);
    EXPECT_EQ(sim->simAlerts().broughtForward, 1);
}

TEST_F(LayoutApplierTest, WindowsOnAnotherDisplayMoveOnlyAfterTheUserAgrees) {
    addRightDisplay();
    install("com.example.Pad", "Pad");
    install("com.example.Pen", "Pen");
    const AXElement pad = addWindow(run("com.example.Pad"), "Pad", Rect(1500, 100, 600, 400));
    const AXElement pen = addWindow(run("com.example.Pen"), "Pen", Rect(2000, 500, 600, 400));
    refusingScripts = {"com.example.Pad", "com.example.Pen"};

    applyToEnd(kest({item("com.example.Pad", "Pad", leftHalf)}), Mode::restoreMissing, leftID);
    EXPECT_EQ(frameOf(pad), leftHalf);
    EXPECT_EQ(onlyAlert().messageText, "Move \u2068Pad\u2069 to this screen?");
    EXPECT_EQ(onlyAlert().informativeText,
              "These apps are already open on another screen and will be moved here:\n"
              "• \u2068Pad\u2069: Display 2 → Display 1 (main)");
    // The window is moved after the last item is logged.
    EXPECT_EQ(lines().back(), "kestr[apply restoreMissing]: APPLIED Pad [firstWindow]");

    // Declined (a response that is no button at all declines too): the window stays, yet
    // the item counts as applied.
    sim->simAlerts().answers = {0};
    EXPECT_EQ(applyToEnd(kest({item("com.example.Pen", "Pen", rightHalf)}), Mode::restoreMissing, leftID).applied, 1);
    EXPECT_EQ(sim->simAlerts().requests.size(), 2u);
    EXPECT_EQ(frameOf(pen), Rect(2000, 500, 600, 400));
}

TEST_F(LayoutApplierTest, ChromeWebApplicationIsNeverAskedForAFreshWindow) {
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

TEST_F(LayoutApplierTest, EffectiveKestHoldsOnlyThePlacedItemsAtTheirFramesAsApplied) {
    install("com.example.Notes", "Notes");
    addWindow(run("com.example.Notes"), "Notes", Rect(300, 300, 500, 400));
    LayoutItem placed = item("com.example.Notes", "Notes", Rect(100, 100, 300, 300));
    placed.capturedFrame = frameOn(leftID, 0, 25, 720, 875);
    Layout layout = kest({item("com.example.Absent", "Absent", rightHalf), placed,
                          item("com.example.Notes", "Notes", Rect(800, 25, 400, 10))});
    layout.edgeGroups = {EdgeGroup{}};

    const Report report = applyToEnd(layout, Mode::restoreMissing, leftID);

    ASSERT_TRUE(report.effectiveLayout);
    EXPECT_EQ(report.effectiveLayout->id, layout.id);
    LayoutItem expected = placed;
    expected.capturedFrame = expected.targetFrame = frameOn(leftID, 0, 25, 720, 875);
    EXPECT_EQ(report.effectiveLayout->items, std::vector<LayoutItem>{expected});
    EXPECT_TRUE(report.effectiveLayout->edgeGroups.empty());
}

// A long kest whose items are all settled at once, each finding its window or finding
// none: the apply must not take one more stack frame for every item.
TEST_F(LayoutApplierTest, ALongKestSettledAtOnceAppliesInOneRun) {
    constexpr int apps = 10;
    constexpr int windowsPerApp = 10;
    constexpr int itemsPerApp = 1000;
    std::vector<LayoutItem> items;
    for (int a = 0; a < apps; ++a) {
        const std::string bundleID = "com.example.App" + std::to_string(a);
        install(bundleID, "App" + std::to_string(a));
        const std::int32_t pid = run(bundleID);
        for (int w = 0; w < windowsPerApp; ++w) addWindow(pid, "Doc", Rect(300, 300, 500, 400));
        for (int i = 0; i < itemsPerApp; ++i) items.push_back(item(bundleID, "App" + std::to_string(a), leftHalf));
    }

    const Report report = applyToEnd(kest(items), Mode::reuseExisting);

    EXPECT_EQ(report.applied, apps * windowsPerApp);
    EXPECT_EQ(report.skipped.size(), static_cast<std::size_t>(apps * (itemsPerApp - windowsPerApp)));
    EXPECT_EQ(report.effectiveLayout->items.size(), static_cast<std::size_t>(apps * windowsPerApp));
}

// A kest may ask for thousands of windows: an apply opens at most 64, launches and fresh
// windows together (those of a late launch too), reuses open windows beyond that, and
// says once how many items it left without one.
TEST_F(LayoutApplierTest, AnApplyOpensAtMostItsLimitOfWindowsAndSaysHowManyItLeft) {
    struct Case {
        Mode mode;
        bool running;                            // with one open window
        std::optional<double> firstWindowDelay;  // past the launch wait: a late launch
        int items, applied, notOpened;
        std::size_t opened;  // launches and fresh windows when the apply returns
    };
    const int limit = LayoutApplier::maxWindowsOpened;
    const Case cases[] = {
        {Mode::restoreMissing, true, 0.5, limit + 1, limit + 1, 0, 64},
        {Mode::restoreMissing, true, 0.5, limit + 6, limit + 1, 5, 64},
        {Mode::freshWindows, false, 0.5, limit + 6, limit, 6, 64},
        // The further items' fresh windows are asked for once the launch's window shows.
        {Mode::restoreMissing, false, 8.0, limit + 6, 0, 6, 1},
    };
    for (const Case& c : cases) {
        SetUp();
        install("com.example.Term", "Term", c.firstWindowDelay);
        if (c.running) addWindow(run("com.example.Term"), "Term", Rect(300, 300, 500, 400));
        auto task = start(kest(std::vector(c.items, item("com.example.Term", "Term", leftHalf))), c.mode, leftID);
        while (!task.done()) sim->virtualTime().advance(0.1);

        const Report& report = task.value();
        const std::string shown = std::to_string(c.items) + (c.running ? " running" : " launched");
        EXPECT_EQ(report.applied, c.applied) << shown;
        EXPECT_EQ(report.windowsNotOpened, c.notOpened) << shown;
        EXPECT_TRUE(report.skipped.empty()) << shown;
        EXPECT_EQ(sim->simWorkspace().openRequests().size() + freshWindowScripts().size(), c.opened) << shown;
        const std::string left = std::to_string(c.notOpened);
        const std::string mode = c.mode == Mode::freshWindows ? "freshWindows" : "restoreMissing";
        EXPECT_EQ(count("kestr[apply " + mode + "]: SKIPPED " + left + " items — an apply opens at most 64 windows"),
                  c.notOpened ? 1 : 0);
        const auto& toasts = sim->simToasts().shown;
        ASSERT_EQ(toasts.size(), c.notOpened ? 1u : 0u) << shown;
        if (c.notOpened) {
            EXPECT_EQ(toasts[0].text,
                      "“\u2068Work\u2069”: " + left + " windows weren't opened — an apply opens at most 64 windows.");
        }
        sim->virtualTime().runUntilIdle(120);
        TearDown();
    }
}

// A fresh window that never comes is waited for 4 s, a reopened one 3 s: one wait each,
// counted from the request, however the desktop answers it (at once, or only with a
// window or when it stops waiting for one).
TEST_P(ApplyOnBothDesktops, AFreshOrReopenedWindowThatNeverComesIsWaitedForOnce) {
    // Scripts and command lines succeed, and no window ever opens.
    sim->simScriptHost().handler = [](const std::string&) { return std::optional<ScriptOutcome>(); };
    struct Case {
        std::string bundleID;
        int openWindows;
        int items;
        double endsAfter;  // the fresh window's 4 s, and a reopen's 3 s with no window at all
    };
    for (const Case& c : {Case{"thunar", 2, 3, 4.0}, Case{"pcmanfm", 0, 1, 7.0}}) {
        SimApplication& app = install(c.bundleID, c.bundleID, std::nullopt);
        app.reopenDelay = std::nullopt;
        // Started by the workspace, so that a windowless process runs on every desktop.
        sim->workspace().openApplication(app.path, {}, nullptr);
        sim->virtualTime().advance(6);
        const std::int32_t pid = sim->world().runningProcesses(c.bundleID).at(0)->pid;
        std::vector<LayoutItem> items;
        for (int i = 0; i < c.openWindows; ++i) addWindow(pid, c.bundleID, Rect(100 + 50 * i, 100, 400, 300));
        for (int i = 0; i < c.items; ++i) items.push_back(item(c.bundleID, c.bundleID, leftHalf));

        const double started = sim->virtualTime().now();
        auto task = start(kest(items), Mode::restoreMissing, leftID);
        while (!task.done() && sim->virtualTime().now() < started + 30) sim->virtualTime().advance(0.05);
        ASSERT_TRUE(task.done()) << c.bundleID;
        EXPECT_NEAR(sim->virtualTime().now() - started, c.endsAfter, 0.11) << c.bundleID;
        EXPECT_EQ(task.value().skipped.size(), 1u) << c.bundleID;
    }
}

}  // namespace
}  // namespace kestr
