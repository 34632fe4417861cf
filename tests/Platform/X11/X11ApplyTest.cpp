// Kests applied to real windows on the X11 desktop and read back: across two monitors,
// after a capture, by a snap of the focused window, and while the monitors change; to
// terminals named by their titles, and to windows maximised one way only.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "Layout/LayoutApplier.h"
#include "Layout/LayoutCapture.h"
#include "Platform/AXAttributes.h"
#include "Snap/SnapApplier.h"
#include "Support/ItemBuilder.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/Subprocess.h"

namespace kestr::x11test {
namespace {

using Report = LayoutApplier::ApplyReport;

class X11ApplyTest : public BackendTest {
protected:
    // Two 1920 x 1080 monitors side by side, the left one primary, as the backend sees them.
    void twoMonitors() {
        session().addMonitor("LEFT", 0, 0, 1920, 1080, true);
        session().addMonitor("RIGHT", 1920, 0, 1920, 1080);
        monitorsChanged();
        ASSERT_EQ(x11().displays().screens().size(), 2u);
        left = uuidAt(Point{10, 10});
        right = uuidAt(Point{1930, 10});
        ASSERT_NE(left, right);
    }
    // A dock reserving a strip `height` points high along the top of the left monitor.
    void dockOnTheLeft(int height) {
        ClientOptions dock;
        dock.type = "dock";
        dock.strutTop = height;
        dock.geometry = ClientGeometry{0, 0, 1920, height};
        spawn(dock).window();
    }
    // Two monitors, the left one with a 22-point strip reserved along its top.
    void twoMonitorsWithAStrip() {
        twoMonitors();
        dockOnTheLeft(22);
        ASSERT_TRUE(settle([&] {
            return DisplayManager::visibleAreaLocal(x11().displays().displayIDFromUUIDString(left)).minY() == 22;
        }));
    }
    // A focused window that takes only whole cells on a 4-point base, as a terminal does.
    xcb_window_t openTerminal(const std::string& title, ClientGeometry at, ClientSize cell) {
        ClientOptions terminal;
        terminal.title = title;
        terminal.wmClass = "KestrEdit";
        terminal.increment = cell;
        terminal.baseSize = ClientSize{4, 4};
        terminal.geometry = at;
        const xcb_window_t w = openFramed(terminal);
        focus(w);
        return w;
    }
    static std::string text(const Rect& f) {
        return std::to_string(int(f.x())) + "," + std::to_string(int(f.y())) + " " + std::to_string(int(f.width())) +
               "x" + std::to_string(int(f.height()));
    }
    // Xvfb announces no event for a monitor set by hand (a plugged-in monitor comes with
    // output and CRTC events); the backend is told as the event would tell it.
    void monitorsChanged() { x11().x11Displays().refresh(); }
    std::string uuidAt(Point global) {
        const auto id = DisplayManager::display(global);
        return id ? x11().displays().displayUUIDString(*id).value_or("") : "";
    }
    xcb_window_t open(const std::string& title, const std::string& wmClass, int x) {
        ClientOptions options;
        options.title = title;
        options.wmClass = wmClass;
        options.geometry = ClientGeometry{x, 100, 400, 300};
        return openFramed(options);
    }
    Rect frame(xcb_window_t w) { return serverFrame(w); }
    void focus(xcb_window_t w) {
        x11().accessibility().setAttributeValue(x11().accessibility().createApplication(*x11().model().client(w)->pid),
                                                ax::focusedWindow, element(w));
        ASSERT_TRUE(settle([&] { return x11().model().activeWindow() == w; }));
    }
    // Changes a property of the window as another client would, then waits until the
    // backend has read it and all that came before it (it reads the server's events in
    // order).
    bool changeAndWait(xcb_window_t w, const std::string& property, const std::string& type, int format,
                       std::uint32_t count, const void* data, std::function<bool(const X11Client&)> read,
                       double seconds = kDeadlineSeconds) {
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, w, atom(connection(), property),
                            atom(connection(), type), static_cast<std::uint8_t>(format), count, data);
        xcb_flush(connection());
        return settle([&] { return read(*x11().model().client(w)); }, seconds);
    }
    // Maximised one way ("_NET_WM_STATE_MAXIMIZED_HORZ" or "…_VERT") as the server has
    // it, and as the backend knows it.
    bool maximise(xcb_window_t w, const std::string& state) {
        x11().connection().sendRootMessage(w, x11().connection().ewmh()._NET_WM_STATE, XCB_EWMH_WM_STATE_ADD,
                                           atom(connection(), state), 0, 2);
        x11().connection().flush();
        if (!waitUntil([&] { return hasState(connection(), w, state); })) return false;
        const std::string fence = x11().model().client(w)->title + "·";
        return changeAndWait(w, "_NET_WM_NAME", "UTF8_STRING", 8, static_cast<std::uint32_t>(fence.size()),
                             fence.data(), [&](const X11Client& c) { return c.title == fence; });
    }
    int restore(const Layout& kest) {
        auto applied = run(LayoutApplier::apply(kest, LayoutApplier::ApplyMode::restoreMissing,
                                                LayoutApplier::FrameSource::target, x11().displays().mainDisplayID()),
                           20);
        return applied.succeeded() ? applied.value().applied : -1;
    }
    // A part of the main display's visible area, from its top-left corner.
    Rect visiblePart(double widthShare, double heightShare) {
        const auto main = x11().displays().mainDisplayID();
        const Rect visible = DisplayManager::visibleAreaLocal(main);
        const Rect bounds = x11().displays().displayBounds(main);
        return Rect(bounds.x() + visible.x(), bounds.y() + visible.y(), visible.width() * widthShare,
                    visible.height() * heightShare);
    }
    // An item for the "KestrEdit" window of that title, on the left monitor.
    LayoutItem titled(const std::string& title, Rect at) {
        return test::ItemBuilder("KestrEdit").matcher(WindowMatcher::titleContains(title)).on(left, at);
    }
    Report apply(Layout kest) {
        auto applied = run(LayoutApplier::apply(std::move(kest), LayoutApplier::ApplyMode::reuseExisting,
                                                LayoutApplier::FrameSource::target, std::nullopt));
        EXPECT_TRUE(applied.succeeded());
        return applied.succeeded() ? applied.value() : Report{};
    }

    std::string left, right;
};

Layout kestOf(std::vector<LayoutItem> items) {
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Real";
    kest.items = std::move(items);
    return kest;
}

TEST_F(X11ApplyTest, AKestIsPlacedAcrossTwoMonitorsAndReadBack) {
    twoMonitors();
    const xcb_window_t a = open("alpha", "KestrEdit", 50);
    const xcb_window_t b = open("beta", "KestrEdit", 500);
    const xcb_window_t c = open("gamma", "KestrView", 900);
    const Report report = apply(kestOf({
        titled("alpha", Rect(0, 0, 960, 1080)),
        titled("beta", Rect(960, 0, 960, 540)),
        test::ItemBuilder("KestrView").on(right, Rect(100, 50, 800, 600)),
    }));
    EXPECT_EQ(report.applied, 3);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_EQ(report.fellBackToMainDisplay, 0);
    EXPECT_EQ(frame(a), Rect(0, 0, 960, 1080));
    EXPECT_EQ(frame(b), Rect(960, 0, 960, 540));
    EXPECT_EQ(frame(c), Rect(2020, 50, 800, 600));
}

TEST_F(X11ApplyTest, ACapturedArrangementComesBackAfterTheWindowsMoved) {
    twoMonitors();
    const xcb_window_t a = open("first", "KestrEdit", 150);
    const xcb_window_t b = open("second", "KestrView", 2200);
    const Rect atCapture[] = {frame(a), frame(b)};
    const Layout kest = LayoutCapture::captureCurrent("Captured", std::nullopt, true);
    ASSERT_EQ(kest.items.size(), 2u);
    for (const LayoutItem& item : kest.items) EXPECT_EQ(item.capturedSpaceLabel, "This Space");

    auto moved = run(WindowController::applyFrame(element(a), Point{700, 500}, Size{600, 400}));
    ASSERT_TRUE(moved.succeeded());
    ASSERT_NE(frame(a), atCapture[0]);
    const Report report = apply(kest);
    EXPECT_EQ(report.applied, 2);
    EXPECT_EQ(frame(a), atCapture[0]);
    EXPECT_EQ(frame(b), atCapture[1]);
}

// Capture closes a gap by moving both edges onto their mean, which may lie between pixels.
// Windows that share such an edge still share it on screen, and none passes the display.
TEST_F(X11ApplyTest, FramesBetweenPixelsKeepTheirSharedEdgesAndStayOnTheDisplay) {
    twoMonitors();
    const xcb_window_t l = open("left", "KestrEdit", 50);
    const xcb_window_t u = open("upper", "KestrEdit", 500);
    const xcb_window_t d = open("lower", "KestrEdit", 900);
    const Report report =
        apply(kestOf({titled("left", Rect(0, 0, 640.5, 1080)), titled("upper", Rect(640.5, 0, 1279.5, 545.5)),
                      titled("lower", Rect(640.5, 545.5, 1279.5, 534.5))}));
    EXPECT_EQ(report.applied, 3);
    EXPECT_EQ(frame(l), Rect(0, 0, 641, 1080));
    EXPECT_EQ(frame(u), Rect(641, 0, 1279, 546));
    EXPECT_EQ(frame(d), Rect(641, 546, 1279, 534));
}

// A window without size hints reports one pixel and its frame as its minimum. Beside
// windows larger than their slots it still keeps a size a window list shows, and the
// next apply finds every window again.
TEST_F(X11ApplyTest, WindowsWithoutSizeHintsAreNotCrushedAndAreFoundAgain) {
    twoMonitors();
    std::vector<LayoutItem> items;
    std::vector<xcb_window_t> windows;
    double x = 0;
    for (const auto& [wmClass, count, slot] :
         {std::tuple{std::string("kestr.test.wide"), 4, 384.0}, {std::string("kestr.test.bare"), 2, 192.0}}) {
        for (int k = 0; k < count; ++k, x += slot) {
            ClientOptions options;
            options.wmClass = wmClass;
            options.title = wmClass + " " + std::to_string(k);
            options.geometry = ClientGeometry{100 + int(x) / 2, 100, 500, 300};
            if (count == 4) options.minSize = ClientSize{478, 200};
            windows.push_back(openFramed(options));
            items.push_back(test::ItemBuilder(wmClass).on(left, Rect(x, 0, slot, 1080)));
        }
    }
    for (int round = 1; round <= 2; ++round) {
        EXPECT_EQ(apply(kestOf(items)).applied, 6) << "apply " << round;
        for (xcb_window_t w : windows) EXPECT_GE(frame(w).width(), 120) << "apply " << round;
    }
}

// The window starts maximised, as a user's often is: the window manager would hold it at
// the work area's size unless it leaves that state.
TEST_F(X11ApplyTest, ASnapMovesTheFocusedWindowIntoHalfTheVisibleArea) {
    const xcb_window_t w = open("snappy", "KestrEdit", 300);
    focus(w);
    auto& e = x11().connection().ewmh();
    x11().connection().sendRootMessage(w, e._NET_WM_STATE, XCB_EWMH_WM_STATE_ADD, e._NET_WM_STATE_MAXIMIZED_VERT,
                                       e._NET_WM_STATE_MAXIMIZED_HORZ, 2);
    x11().connection().flush();
    // Maximised as the window manager shows it, decorations included: it draws a maximised
    // window with other borders than a plain one, and the move must ask a size for those
    // the window has once it left the state.
    ASSERT_TRUE(settle([&] {
        const X11Client* c = x11().model().client(w);
        return c->maximized && c->frame() == x11().model().workArea();
    }));
    ASSERT_TRUE(run(SnapApplier::apply(SnapAction::leftHalf)).succeeded());
    EXPECT_TRUE(settle([&] { return frame(w) == visiblePart(0.5, 1); }))
        << frame(w).x() << "," << frame(w).y() << " " << frame(w).width() << "x" << frame(w).height();
    // The window manager's answer to leaving the state is not taken for its answer to the move.
    for (const std::string& line : recordedLog().lines())
        EXPECT_EQ(line.find("size not honored"), std::string::npos) << line;
}

// A terminal takes only whole character rows: moved to a display of another height and
// back untouched, it takes the frame it left, not one scaled twice and rounded twice.
TEST_F(X11ApplyTest, ATerminalMovedToTheNextDisplayAndBackTakesTheFrameItLeft) {
    session().addMonitor("LEFT", 0, 0, 1920, 1080, true);
    session().addMonitor("RIGHT", 1920, 0, 1920, 1000);
    monitorsChanged();
    ASSERT_EQ(x11().displays().screens().size(), 2u);
    const xcb_window_t w = openTerminal("cells", ClientGeometry{300, 100, 564, 316}, ClientSize{7, 13});
    ASSERT_TRUE(run(SnapApplier::apply(SnapAction::leftHalf)).succeeded());
    const Rect snapped = frame(w);
    for (int trip = 0; trip < 2; ++trip) {
        ASSERT_TRUE(run(SnapApplier::apply(SnapAction::nextDisplay)).succeeded());
        ASSERT_TRUE(settle([&] { return frame(w).x() >= 1920; }));
        ASSERT_TRUE(run(SnapApplier::apply(SnapAction::previousDisplay)).succeeded());
        EXPECT_TRUE(settle([&] { return frame(w) == snapped; }))
            << "trip " << trip << ": " << text(frame(w)) << ", left " << text(snapped);
    }
}

// Onto a display whose top strip is reserved the height shrinks by less than one row, so
// the window arrives at its place before it takes its size: a way back untouched still
// finds the frame it took there, and ends on the frame it left.
TEST_F(X11ApplyTest, ATerminalMovedOntoADisplayWithAStripAndBackTakesTheFrameItLeft) {
    twoMonitorsWithAStrip();
    // Client sizes of whole cells: 82 x 30 and 159 x 39 of 6 x 13 points.
    for (const ClientGeometry& at : {ClientGeometry{2301, 320, 496, 394}, ClientGeometry{2880, 540, 958, 511}}) {
        const xcb_window_t w = openTerminal("cells " + std::to_string(at.x), at, ClientSize{6, 13});
        const Rect before = frame(w);
        ASSERT_TRUE(run(SnapApplier::apply(SnapAction::previousDisplay)).succeeded());
        // There it has one row less, and the backend has seen it so, before it goes back.
        ASSERT_TRUE(settle([&] {
            const Rect there = x11().model().client(w)->frame();
            return there.maxX() <= 1920 && there.height() == before.height() - 13;
        }));
        ASSERT_TRUE(run(SnapApplier::apply(SnapAction::nextDisplay)).succeeded());
        EXPECT_TRUE(settle([&] { return frame(w) == before; }))
            << at.x << ": " << text(frame(w)) << ", left " << text(before);
    }
}

// A key pressed while a terminal moved onto the display with a strip still settles there
// (it takes its place before its size) takes effect at once: a half of that display, or
// the way back to the very frame it left.
TEST_F(X11ApplyTest, AKeyPressedWhileATerminalSettlesOnTheOtherDisplayTakesEffect) {
    twoMonitorsWithAStrip();
    const auto leftHalfThere = [](const Rect& f, const Rect&) {
        return f.x() == 0 && f.y() == 22 && std::fabs(f.width() - 960) < 6 && std::fabs(f.height() - 1058) < 13;
    };
    struct Key {
        SnapAction second;
        std::function<bool(const Rect& now, const Rect& before)> ends;
    };
    const auto whereItWas = [](const Rect& now, const Rect& before) { return now == before; };
    for (const Key& key : {Key{SnapAction::leftHalf, leftHalfThere}, Key{SnapAction::previousDisplay, whereItWas},
                           Key{SnapAction::nextDisplay, whereItWas}}) {
        const xcb_window_t w =
            openTerminal("cells " + key.second.rawValue(), ClientGeometry{2301, 320, 496, 394}, ClientSize{6, 13});
        const Rect before = frame(w);
        auto first = test::start(SnapApplier::apply(SnapAction::previousDisplay));
        ASSERT_TRUE(
            runUntil([&] { return frame(w).maxX() <= 1920 && (first.done() || !SnapApplier::state().isSnapping); }));
        EXPECT_FALSE(first.done()) << "the move kept the slot until the window was still";
        ASSERT_TRUE(run(SnapApplier::apply(key.second)).succeeded());
        EXPECT_TRUE(settle([&] { return key.ends(frame(w), before); }))
            << key.second.rawValue() << ": " << text(frame(w)) << ", left " << text(before);
        ASSERT_TRUE(runUntil([&] { return first.done(); }));
    }
    for (const std::string& line : recordedLog().lines()) EXPECT_EQ(line.find("dropped"), std::string::npos) << line;
}

// The server hands a closed window's id to a later window: what a snap kept for the
// closed one is not the new one's to restore.
TEST_F(X11ApplyTest, ANewWindowUnderAClosedOnesIdHasNothingToRestore) {
    ClientOptions options;
    options.title = "first";
    options.wmClass = "KestrEdit";
    options.geometry = ClientGeometry{300, 100, 400, 300};
    ClientProcess& client = spawn(options);
    const xcb_window_t w = client.window();
    const auto framedAs = [&](const std::string& title) {
        return settle([&] {
            const X11Client* c = x11().model().client(w);
            return c && c->title == title && c->mapped && c->extents.top > 0;
        });
    };
    ASSERT_TRUE(framedAs("first"));
    focus(w);
    ASSERT_TRUE(run(SnapApplier::apply(SnapAction::leftHalf)).succeeded());
    ASSERT_TRUE(settle([&] { return frame(w) == visiblePart(0.5, 1); }));

    client.send("reopen 0");
    client.send("title 0 second");
    ASSERT_TRUE(framedAs("second"));
    focus(w);
    const Rect opened = frame(w);
    ASSERT_TRUE(run(SnapApplier::apply(SnapAction::restore)).succeeded());
    EXPECT_EQ(recordedLog().lines().back(),
              "kestr[snap]: restore skipped \u2014 no pre-snap frame for this window yet (snap something first)");
    EXPECT_EQ(frame(w), opened);
}

// Three xterms, a process each, named by the titles their items ask for, by a part of
// the title or by a pattern. Each starts nearest another one's slot, where a share-out
// by nearness alone would send it; and once in place each window's corner is as near
// its neighbour's slot as its own.
TEST_F(X11ApplyTest, XtermsMatchedByTitleLandInTheirOwnSlotsApplyAfterApply) {
    const std::string desktopFile = "/usr/share/applications/debian-xterm.desktop";
    if (!std::filesystem::exists(desktopFile) || !findProgram("xterm")) GTEST_SKIP() << "no xterm";
    std::filesystem::copy_file(desktopFile, dataFolder() + "/applications/debian-xterm.desktop");
    const std::string display = uuidAt(Point{10, 10});
    const std::vector<std::pair<std::string, std::function<WindowMatcher(const std::string&)>>> matchers = {
        {"x", [](const std::string& title) { return WindowMatcher::titleContains(title); }},
        {"r", [](const std::string& title) { return WindowMatcher::titleRegex("^\\Q" + title + "\\E$"); }},
    };
    for (const auto& entry : matchers) {
        const std::string& mark = entry.first;
        const auto& matcher = entry.second;
        const auto titleOf = [&mark](int i) { return "[" + mark + " " + std::to_string(i) + "]"; };
        std::vector<std::unique_ptr<Subprocess>> xterms;
        std::vector<LayoutItem> items;
        for (int i = 0; i < 3; ++i) {
            Subprocess::Spec spec;
            spec.arguments = {"xterm", "-T", titleOf(i), "-geometry",
                              "40x10+" + std::to_string(1300 - 620 * i) + "+100"};
            spec.environment = {{"DISPLAY", session().display()}};
            spec.logFile = dataFolder() + "/xterm.txt";
            xterms.push_back(std::make_unique<Subprocess>(spec));
            items.push_back(test::ItemBuilder("debian-xterm", "XTerm")
                                .matcher(matcher(titleOf(i)))
                                .on(display, Rect(640 * i, 0, 640, 500)));
        }
        std::map<std::string, xcb_window_t> windows;
        ASSERT_TRUE(settle([&] {
            for (xcb_window_t w : x11().model().stacking()) {
                const X11Client* c = x11().model().client(w);
                if (c && c->mapped && c->extents.top > 0 && c->title.starts_with("[" + mark + " "))
                    windows[c->title] = w;
            }
            return windows.size() == 3;
        })) << mark;
        for (int round = 1; round <= 2; ++round) {
            EXPECT_EQ(restore(kestOf(items)), 3) << mark;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(frame(windows[titleOf(i)]).origin, (Point{640.0 * i, 0}))
                    << titleOf(i) << " after apply " << round;
        }
        // Alone in its kest, an item takes the window of its title, not the one in its slot.
        LayoutItem alone = items[2];
        alone.targetFrame = items[0].targetFrame;
        EXPECT_EQ(restore(kestOf({alone})), 1) << mark;
        EXPECT_EQ(frame(windows[titleOf(2)]).origin, (Point{0, 0})) << mark;
        for (auto& xterm : xterms) xterm->terminate();
        ASSERT_TRUE(settle([&] {
            return std::none_of(windows.begin(), windows.end(),
                                [&](const auto& w) { return x11().model().client(w.second); });
        }));
    }
}

// Maximised one way only, the window manager holds that side at the work area's length
// until the window leaves the state: for a snap as for an apply.
TEST_F(X11ApplyTest, AWindowMaximisedOneWayLeavesThatStateForASnapAndAnApply) {
    const std::string display = uuidAt(Point{10, 10});
    for (const std::string state : {"_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_MAXIMIZED_VERT"}) {
        const std::string title = state.ends_with("HORZ") ? "wide" : "tall";
        const xcb_window_t w = open(title, "KestrEdit", 300);
        ASSERT_TRUE(maximise(w, state)) << title;
        focus(w);
        ASSERT_TRUE(run(SnapApplier::apply(SnapAction::topLeftQuarter)).succeeded());
        EXPECT_TRUE(settle([&] { return frame(w) == visiblePart(0.5, 0.5); })) << title;

        ASSERT_TRUE(maximise(w, state)) << title;
        const Rect slot(100, 120, 600, 400);
        const LayoutItem item =
            test::ItemBuilder("KestrEdit").matcher(WindowMatcher::titleContains(title)).on(display, slot);
        EXPECT_EQ(apply(kestOf({item})).applied, 1);
        EXPECT_EQ(frame(w), slot) << title;
    }
}

// Some window managers keep a maximised window's borders beyond the monitor's edge (its
// corner then lies on no monitor) and still count them in its frame extents.
TEST_F(X11ApplyTest, AMaximisedWindowWithBordersBeyondTheMonitorIsFoundOnIt) {
    const xcb_window_t w = open("wide", "KestrEdit", 300);
    open("other", "KestrEdit", 900);
    ASSERT_TRUE(maximise(w, "_NET_WM_STATE_MAXIMIZED_HORZ"));
    // The window manager may set the state before it moves the window, and writes the
    // extents itself whenever it adjusts the frame: ours are written once the frame it
    // gives spans the screen.
    const Rect screen = visiblePart(1, 1);
    ASSERT_TRUE(settle([&] {
        const Rect f = x11().model().client(w)->frame();
        return f.x() == screen.x() && f.width() == screen.width();
    }));
    const std::uint32_t extents[] = {5, 5, 20, 5};
    ASSERT_TRUE(changeAndWait(w, "_NET_FRAME_EXTENTS", "CARDINAL", 32, 4, extents,
                              [](const X11Client& c) { return c.extents.left == 5; }));
    ASSERT_LT(x11().model().client(w)->frame().x(), 0);

    const Rect slot(100, 120, 600, 400);
    const LayoutItem item =
        test::ItemBuilder("KestrEdit").matcher(WindowMatcher::titleContains("wide")).on(uuidAt(Point{10, 10}), slot);
    EXPECT_EQ(restore(kestOf({item})), 1);
    EXPECT_TRUE(settle([&] { return frame(w) == slot; }));
}

TEST_F(X11ApplyTest, MonitorsFollowRandrAndAnItemOfAGoneMonitorFallsBackToTheMainOne) {
    twoMonitors();
    const std::string gone = right;
    const auto firstIDs = x11().x11Displays().monitors();
    // Same monitors, same identities, after a refresh.
    x11().x11Displays().refresh();
    EXPECT_EQ(x11().displays().displayUUIDString(firstIDs[1].id), firstIDs[1].uuid);

    const xcb_window_t w = open("wanderer", "KestrEdit", 2100);
    session().removeMonitor("RIGHT");
    monitorsChanged();
    ASSERT_EQ(x11().displays().screens().size(), 1u);
    EXPECT_EQ(x11().displays().displayIDFromUUIDString(gone), 0u);
    const Report report = apply(kestOf({test::ItemBuilder("KestrEdit").on(gone, Rect(100, 100, 600, 400))}));
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(report.fellBackToMainDisplay, 1);
    const Rect placed = frame(w);
    EXPECT_TRUE(Rect(0, 0, 1920, 1080).contains(placed.origin));
}

// The window manager's work area is one rectangle for the whole screen: a dock on one
// monitor must not take its strip from the other as well.
TEST_F(X11ApplyTest, ADockOnOneMonitorLeavesTheOtherItsWholeHeight) {
    twoMonitors();
    dockOnTheLeft(30);
    ASSERT_TRUE(settle([&] {
        const auto area = x11().model().workArea();
        return area && area->y() == 30;
    })) << "the window manager never took the dock's strip";
    EXPECT_EQ(DisplayManager::visibleAreaLocal(x11().displays().displayIDFromUUIDString(left)),
              Rect(0, 30, 1920, 1050));
    EXPECT_EQ(DisplayManager::visibleAreaLocal(x11().displays().displayIDFromUUIDString(right)),
              Rect(0, 0, 1920, 1080));
}

// A dock that moves its strip to the other monitor, as deep as before, leaves xfwm4's work
// area as it was, which that window manager then does not write again: the strip's own
// change tells that the room for windows moved, so that the kests are tidied for it.
TEST_F(X11ApplyTest, AStripThatMovesToTheOtherMonitorIsHeardWhileTheWorkAreaStaysTheSame) {
    ASSERT_NO_THROW(session().startWindowManager(WindowManager::xfwm4));
    twoMonitors();
    const auto visible = [&](const std::string& display) {
        return DisplayManager::visibleAreaLocal(x11().displays().displayIDFromUUIDString(display));
    };
    const Rect whole(0, 0, 1920, 1080), below(0, 30, 1920, 1050);
    ClientOptions options;
    options.type = "dock";
    options.strutTop = 30;
    options.geometry = ClientGeometry{0, 0, 1920, 30};
    const xcb_window_t dock = spawn(options).window();
    ASSERT_TRUE(settle([&] {
        const auto area = x11().model().workArea();
        return area && area->y() == 30 && visible(left) == below;
    })) << "the window manager never took the dock's strip";
    int told = 0;
    x11().model().addStripObserver([&told] { ++told; });
    struct Step {
        std::uint32_t fromX, toX;
        Rect left, right;
    };
    for (const Step& step : {Step{1920, 3839, whole, below}, Step{0, 1919, below, whole}}) {
        const int before = told;
        const std::uint32_t strut[] = {0, 0, 30, 0, 0, 0, 0, 0, step.fromX, step.toX, 0, 0};
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, dock, atom(connection(), "_NET_WM_STRUT_PARTIAL"),
                            XCB_ATOM_CARDINAL, 32, 12, strut);
        xcb_flush(connection());
        EXPECT_TRUE(settle([&] { return told > before && visible(left) == step.left && visible(right) == step.right; }))
            << "the strip over " << step.fromX << "–" << step.toX << " went unheard";
    }
}

}  // namespace
}  // namespace kestr::x11test
