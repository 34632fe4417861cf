#include "Platform/AXAttributes.h"
#include "Snap/SnapApplier.h"

#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Support/StartedTask.h"
#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

class SnapApplierTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
    }

    // A Notes window, focused in the frontmost application.
    AXElement addFocused(Rect frame, Size minimum = {}) {
        SimWindow w = window("Doc", frame);
        w.minimumSize = minimum;
        SimProcess& p = addApp("com.apple.Notes", "Notes", {w});
        sim->world().frontmostPid = p.pid;
        return p.windows.front().element;
    }

    // A terminal on a 1920 x 1080 display with a 22-point strip at the top, a second such
    // display without a strip to its right.
    AXElement terminalBesideASecondDisplay(Rect frame) {
        sim->world().displays[0].bounds = Rect(0, 0, 1920, 1080);
        sim->world().displays[0].insets = Insets{22, 0, 0, 0};
        addDisplay(2, Rect(1920, 0, 1920, 1080));
        const AXElement w = addFocused(frame);
        simWindow(w).sizeRule = SizeRule{Size{6, 13}, Size{6, 29}};
        // As a terminal's size hints do: a size within one cell of the request is taken.
        simWindow(w).reportsSizeHints = true;
        return w;
    }

    // Runs one snap to the end; the failure it throws, if any, is rethrown.
    void snap(SnapAction action) {
        auto task = start(SnapApplier::apply(action));
        sim->virtualTime().advance(1);
        ASSERT_TRUE(task.done());
        task.rethrow();
    }

    std::optional<SnapApplier::Failure::Case> failureOf(SnapAction action) {
        try {
            snap(action);
        } catch (const SnapApplier::Failure& f) {
            return f.failureCase;
        }
        return std::nullopt;
    }

    const std::vector<std::string>& lines() { return sim->simLog().lines(); }
};

TEST_F(SnapApplierTest, HalvesThenRestoreGoBackToTheFrameBeforeTheLastSnap) {
    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    snap(SnapAction::leftHalf);
    snap(SnapAction::rightHalf);
    EXPECT_EQ(simWindow(w).frame(), Rect(720, 25, 720, 875));
    snap(SnapAction::restore);
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 720, 875));
    // The entry stays: a second restore applies the same frame again.
    simWindow(w).position = Point{300, 300};
    snap(SnapAction::restore);
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 720, 875));
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "kestr[snap leftHalf]: Notes applied \u2192 (0,25) 720x875 [was (100,100) 800x600]",
                           "kestr[snap rightHalf]: Notes applied \u2192 (720,25) 720x875 [was (0,25) 720x875]",
                       }));
    EXPECT_TRUE(sim->simToasts().shown.empty());
}

TEST_F(SnapApplierTest, NothingToSnapOrRestoreShowsTheAlertingToast) {
    EXPECT_EQ(failureOf(SnapAction::leftHalf), SnapApplier::Failure::noFocusedWindow);
    EXPECT_EQ(lines().back(), "kestr[snap]: no focused/frontmost app");
    ASSERT_EQ(sim->simToasts().shown.size(), 1u);
    EXPECT_EQ(sim->simToasts().shown[0],
              (ShownToast{"No window to snap \u2014 click a window first", ToastFeel::alert, 1.9, 0}));
    EXPECT_EQ(SnapApplier::Failure(SnapApplier::Failure::noFocusedWindow).what(), std::string("No focused window"));

    // An application without windows.
    SimProcess& empty = addApp("com.example.Empty", "Empty", {});
    sim->world().frontmostPid = empty.pid;
    EXPECT_EQ(failureOf(SnapAction::maximize), SnapApplier::Failure::noFocusedWindow);
    EXPECT_EQ(lines().back(), "kestr[snap]: no window for Empty (winCount=0)");
    EXPECT_EQ(empty.manualAccessibility, std::nullopt) << "the application does not support the attribute";

    // A window never snapped has nothing to restore; the failures above left no flag set.
    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    snap(SnapAction::restore);
    EXPECT_EQ(lines().back(),
              "kestr[snap]: restore skipped \u2014 no pre-snap frame for this window yet (snap something first)");
    EXPECT_EQ(sim->simToasts().shown.back().text, "Nothing to restore yet \u2014 snap a window first");
    EXPECT_EQ(simWindow(w).frame(), Rect(100, 100, 800, 600));

    simWindow(w).unreadable = {ax::size};
    EXPECT_EQ(failureOf(SnapAction::leftHalf), SnapApplier::Failure::notMovable);
    simWindow(w).unreadable = {};
    simWindow(w).position = Point{-5000, -5000};
    EXPECT_EQ(failureOf(SnapAction::leftHalf), SnapApplier::Failure::displayUnavailable);
    // Remembered before the display was looked for.
    simWindow(w).position = Point{10, 10};
    snap(SnapAction::restore);
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 800, 600)) << "pushed back inside the visible area";
}

TEST_F(SnapApplierTest, ASnapHotKeyLogsWhatTheApplierThrows) {
    HotkeyManager::shared().applySnap = SnapApplier::apply;
    auto task = start(HotkeyManager::shared().runSnap(SnapAction::topHalf));
    sim->virtualTime().advance(1);
    ASSERT_TRUE(task.done());
    EXPECT_EQ(lines().back(), "kestr: snap 'topHalf' failed: No focused window");

    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    task = start(HotkeyManager::shared().runSnap(SnapAction::topHalf));
    sim->virtualTime().advance(1);
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 1440, 437.5));
}

TEST_F(SnapApplierTest, MinimisedAndFullScreenWindowsAreBroughtBackFirst) {
    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    simWindow(w).minimized = true;
    snap(SnapAction::leftHalf);
    EXPECT_FALSE(simWindow(w).minimized);
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 720, 875));
    sim->world().setFullScreen(simWindow(w), true);
    snap(SnapAction::rightHalf);
    EXPECT_FALSE(simWindow(w).fullScreen);
    EXPECT_EQ(simWindow(w).frame(), Rect(720, 25, 720, 875));
}

TEST_F(SnapApplierTest, DisplayMovesGoRoundTheScreensInSystemOrder) {
    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    snap(SnapAction::nextDisplay);
    EXPECT_EQ(lines().back(), "kestr[snap]: nextDisplay skipped \u2014 only one display connected");
    snap(SnapAction::restore);  // the frame was remembered all the same
    EXPECT_EQ(lines().back().find("restore skipped"), std::string::npos);

    addDisplay(2, Rect(1440, 0, 1920, 1080));
    addDisplay(3, Rect(3360, 0, 1280, 800));
    simWindow(w).position = Point{3360 + 128, 80};
    simWindow(w).size = Size{640, 400};
    snap(SnapAction::nextDisplay);
    // From the third display's whole frame to the first one's visible area.
    EXPECT_EQ(simWindow(w).frame(), Rect(144, 112.5, 720, 437.5));
    simWindow(w).position = Point{3360 + 128, 80};
    simWindow(w).size = Size{640, 400};
    snap(SnapAction::previousDisplay);
    EXPECT_EQ(simWindow(w).frame(), Rect(1440 + 192, 108, 960, 540));
}

// The visible areas are mapped onto each other, strips and all: there and back again
// puts the window where it was, and no row or column is lost on the way.
TEST_F(SnapApplierTest, DisplayMovesThereAndBackAcrossReservedStripsKeepTheFrame) {
    addDisplay(2, Rect(1440, 0, 2880, 1800), Insets{0, 0, 50, 0});
    const AXElement w = addFocused(Rect(200, 125, 640, 400));
    snap(SnapAction::nextDisplay);
    // (200, 100) in 1440 x 875 below the 25-point strip, onto 2880 x 1750 above the panel.
    EXPECT_EQ(simWindow(w).frame(), Rect(1440 + 400, 200, 1280, 800));
    snap(SnapAction::previousDisplay);
    EXPECT_EQ(simWindow(w).frame(), Rect(200, 125, 640, 400));
}

// A terminal takes whole character rows only, so a scaled height loses part of a row on
// each way: moved back untouched, it takes the frame it left instead, and keeps it on
// the next trip there and back.
TEST_F(SnapApplierTest, ATerminalMovedToTheNextDisplayAndBackKeepsItsFrame) {
    sim->world().displays[0].bounds = Rect(0, 0, 1920, 1080);
    sim->world().displays[0].insets = Insets{24, 0, 0, 0};
    addDisplay(2, Rect(1920, 0, 1920, 1080));
    const AXElement w = addFocused(Rect(0, 24, 960, 1056));
    simWindow(w).sizeRule.cell = Size{8, 16};
    for (int trip = 0; trip < 2; ++trip) {
        snap(SnapAction::nextDisplay);
        EXPECT_EQ(simWindow(w).frame(), Rect(1920, 0, 960, 1072));
        snap(SnapAction::previousDisplay);
        EXPECT_EQ(simWindow(w).frame(), Rect(0, 24, 960, 1056));
    }
    // Moved on the other display after it got there, it is scaled from where it is.
    snap(SnapAction::nextDisplay);
    simWindow(w).position = Point{1920 + 100, 0};
    snap(SnapAction::previousDisplay);
    EXPECT_EQ(simWindow(w).frame(), Rect(100, 24, 960, 1040));
}

// Only a move that retraces the last one takes the frame the window left; a second move
// on in the same direction goes on to the next display, wrapping round at the end.
TEST_F(SnapApplierTest, DisplayMovesOfATerminalOverTwoAndThreeDisplays) {
    constexpr SnapAction next = SnapAction::nextDisplay, previous = SnapAction::previousDisplay;
    struct Trip {
        int displays;
        Rect start;
        std::vector<SnapAction> moves;
        Rect end;
    };
    const Rect onFree(2301, 540, 498, 419), onStrip(381, 551, 498, 406);
    for (const Trip& trip : {
             Trip{2, onFree, {previous, next}, onFree},
             Trip{2, onStrip, {next, previous}, onStrip},
             Trip{3, onFree, {previous, next}, onFree},
             Trip{3, onFree, {next, previous}, onFree},
             Trip{3, onStrip, {next, next}, Rect(3840 + 381, 540, 498, 406)},
             Trip{3, Rect(3840 + 381, 540, 498, 419), {previous, previous}, onStrip},
             Trip{3, onStrip, {next, next, next}, Rect(381, 551, 498, 393)},
         }) {
        SetUp();
        // The first display keeps a 22-point strip at its top; the others have none.
        sim->world().displays[0].bounds = Rect(0, 0, 1920, 1080);
        sim->world().displays[0].insets = Insets{22, 0, 0, 0};
        for (int d = 2; d <= trip.displays; ++d) addDisplay(d, Rect(1920 * (d - 1), 0, 1920, 1080));
        const AXElement w = addFocused(trip.start);
        simWindow(w).sizeRule = SizeRule{Size{6, 13}, Size{6, 29}};
        for (const SnapAction move : trip.moves) snap(move);
        EXPECT_EQ(simWindow(w).frame(), trip.end) << trip.displays << " displays, " << trip.moves.size() << " moves";
        TearDown();
    }
}

// A display move keeps the one-snap slot only while it moves the window, not while the
// window settles there: keys pressed 30 ms apart each take effect, in order, and a way
// back untouched still takes the frame the terminal left.
TEST_F(SnapApplierTest, QuickKeysAfterADisplayMoveEachTakeEffect) {
    constexpr SnapAction next = SnapAction::nextDisplay, previous = SnapAction::previousDisplay,
                         leftHalf = SnapAction::leftHalf;
    struct Keys {
        std::vector<SnapAction> pressed;
        Rect end;
    };
    const Rect onStrip(381, 551, 498, 406);
    for (const Keys& keys : {
             Keys{{next, leftHalf}, Rect(1920, 0, 960, 1069)},
             Keys{{next, previous}, onStrip},
             Keys{{next, next}, onStrip},
             // Snapped on the other display before it was still there: no longer untouched.
             Keys{{next, leftHalf, previous}, Rect(0, 22, 960, 1043)},
         }) {
        SetUp();
        const AXElement w = terminalBesideASecondDisplay(onStrip);
        std::vector<test::StartedTask<void>> snaps;
        for (const SnapAction key : keys.pressed) {
            snaps.push_back(start(SnapApplier::apply(key)));
            sim->virtualTime().advance(0.03);
        }
        sim->virtualTime().advance(1);
        for (const auto& snap : snaps) EXPECT_TRUE(snap.succeeded());
        EXPECT_EQ(simWindow(w).frame(), keys.end)
            << keys.pressed.size() << " keys, last " << keys.pressed.back().rawValue();
        for (const std::string& line : lines()) EXPECT_EQ(line.find("dropped"), std::string::npos) << line;
        TearDown();
    }
}

// A window that goes on changing (here it creeps a point every 50 ms) outlasts the wait
// of the first move for stillness, which gives up while a second move settles: it
// records nothing for that one, so a third key pressed before the second move's own
// record still finds the way back untouched.
TEST_F(SnapApplierTest, AMoveThatGivesUpWaitingLeavesTheNextMoveSettling) {
    const AXElement w = terminalBesideASecondDisplay(Rect(381, 551, 498, 406));
    const auto creep = [&] {
        const Point p = simWindow(w).position;
        platform().accessibility().setAttributeValue(w, ax::position, Point{p.x, p.y + 1});
    };
    std::vector<test::StartedTask<void>> snaps{start(SnapApplier::apply(SnapAction::nextDisplay))};
    for (int k = 0; k < 19; ++k) {
        sim->virtualTime().advance(0.05);
        creep();
    }
    sim->virtualTime().advance(0.02);
    const Rect there = simWindow(w).frame();
    snaps.push_back(start(SnapApplier::apply(SnapAction::previousDisplay)));
    sim->virtualTime().advance(0.04);  // the first move's wait has given up
    creep();
    sim->virtualTime().advance(0.03);
    snaps.push_back(start(SnapApplier::apply(SnapAction::nextDisplay)));
    sim->virtualTime().advance(1);
    for (const auto& snap : snaps) EXPECT_TRUE(snap.succeeded());
    EXPECT_EQ(simWindow(w).frame(), there);
}

TEST_F(SnapApplierTest, ASnapWhileAnotherWaitsForItsRetryIsDropped) {
    // The window keeps a minimum width, so the first snap waits 60 ms to write again.
    const AXElement w = addFocused(Rect(100, 100, 800, 600), Size{900, 300});
    auto first = start(SnapApplier::apply(SnapAction::leftHalf));
    sim->virtualTime().runPending();
    ASSERT_FALSE(first.done());
    auto second = start(SnapApplier::apply(SnapAction::rightHalf));
    sim->virtualTime().runPending();
    EXPECT_TRUE(second.done());
    EXPECT_EQ(lines().back(), "kestr[snap]: dropped re-entrant rightHalf (one already in flight)");
    sim->virtualTime().advance(0.1);
    EXPECT_TRUE(first.done());
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 25, 900, 875));
    snap(SnapAction::restore);
    EXPECT_EQ(simWindow(w).frame(), Rect(100, 100, 900, 600)) << "as wide as the window goes";
}

TEST_F(SnapApplierTest, RestoreFramesBelongToOneDesktopAndForgetClosedWindows) {
    const AXElement w = addFocused(Rect(100, 100, 800, 600));
    snap(SnapAction::leftHalf);

    // A fresh desktop hands out the same element handles again; it has nothing stored.
    TearDown();
    SetUp();
    const AXElement again = addFocused(Rect(100, 100, 800, 600));
    ASSERT_EQ(again, w);
    snap(SnapAction::restore);
    EXPECT_EQ(sim->simToasts().shown.size(), 1u);
    EXPECT_EQ(simWindow(again).frame(), Rect(100, 100, 800, 600));

    snap(SnapAction::leftHalf);
    sim->world().closeWindow(again);
    const AXElement other = addFocused(Rect(50, 50, 400, 300));
    snap(SnapAction::maximize);
    EXPECT_EQ(SnapApplier::state().preSnapFrames.size(), 1u);
    EXPECT_TRUE(SnapApplier::state().preSnapFrames.count(other));
}

TEST_F(SnapApplierTest, ARestoreFrameOnADisconnectedDisplayLandsOnTheMainDisplay) {
    addDisplay(2, Rect(1440, 0, 1920, 1080));
    const AXElement w = addFocused(Rect(1500, 100, 1700, 600));
    snap(SnapAction::leftHalf);
    sim->world().displays.pop_back();
    snap(SnapAction::restore);
    // Shrunk to the main display's visible width, height kept.
    EXPECT_EQ(simWindow(w).frame(), Rect(0, 100, 1440, 600));
}

}  // namespace
}  // namespace kestr::test
