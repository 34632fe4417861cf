// The X11 desktop's windows as kestr reads them: identities, frames with decorations,
// states, windows that go away, and a window manager that answers late.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/socket.h>

#include "Platform/AXAttributes.h"
#include "Window/WindowController.h"
#include "Window/WindowEnumerator.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

using ::testing::HasSubstr;

class X11WindowsTest : public BackendTest {
protected:
    // Waits until the backend sees the window with its frame extents.
    void awaitManaged(xcb_window_t w) {
        ASSERT_TRUE(settle([&] {
            const X11Client* c = x11().model().client(w);
            return c && c->mapped && c->extents.top > 0;
        })) << "window 0x"
            << std::hex << w << " never managed";
    }
    // A managed window whose size hints ask for at least 300 x 200.
    xcb_window_t withASmallestSize(const std::string& title, ClientGeometry geometry) {
        ClientOptions small;
        small.title = title;
        small.minSize = ClientSize{300, 200};
        small.geometry = geometry;
        const xcb_window_t w = spawn(small).window();
        awaitManaged(w);
        return w;
    }
    // Returns once the server has handled every request sent before on that connection.
    static void sync(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    Rect frameOnServer(xcb_window_t w) {
        const auto f = frameOf(connection(), w);
        return f ? Rect(f->x, f->y, f->width, f->height) : Rect::null();
    }
};

TEST_F(X11WindowsTest, ApplicationsAreKnownByDesktopFileElseClassWithTheirWindowsAndFrames) {
    writeDesktopFile("kestr-test-editor", "Test Editor", "KestrEditor");
    ClientOptions editor;
    editor.title = "notes.txt";
    editor.wmClass = "KestrEditor";
    editor.geometry = ClientGeometry{100, 100, 500, 300};
    ClientOptions plain;
    plain.title = "plain window";
    plain.wmClass = "PlainTool";
    plain.pid = false;  // found through the server instead
    plain.type = "dialog";
    ClientOptions dock;
    dock.wmClass = "SomePanel";
    dock.type = "dock";
    dock.strutTop = 30;
    dock.geometry = ClientGeometry{0, 0, 1920, 30};
    ClientOptions kestrWindow;
    kestrWindow.wmClass = "kestr";
    kestrWindow.instance = "kestr";
    kestrWindow.title = "kestr";
    xcb_window_t e = spawn(editor).window();
    spawn(kestrWindow).window();
    ClientProcess& plainClient = spawn(plain);
    xcb_window_t p = plainClient.window();
    spawn(dock).window();
    awaitManaged(e);
    awaitManaged(p);

    Workspace& workspace = x11().workspace();
    const auto editors = workspace.runningApplications("kestr-test-editor");
    ASSERT_EQ(editors.size(), 1u);
    EXPECT_EQ(editors[0].localizedName, "Test Editor");
    EXPECT_EQ(editors[0].activationPolicy, ActivationPolicy::regular);
    const auto plains = workspace.runningApplications("PlainTool");
    ASSERT_EQ(plains.size(), 1u);
    EXPECT_EQ(plains[0].processIdentifier, plainClient.pid());
    // A program that shows only a dock stays in the background.
    const auto panels = workspace.runningApplications("SomePanel");
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(panels[0].activationPolicy, ActivationPolicy::accessory);
    // Another kestr process's windows are kestr's own, never arranged.
    const auto kestrs = workspace.runningApplications("com.kestr.kestr");
    ASSERT_EQ(kestrs.size(), 1u);
    EXPECT_EQ(kestrs[0].activationPolicy, ActivationPolicy::accessory);

    // The frame as the user sees it, decorations included, in every reading.
    EXPECT_EQ(WindowController::readPosition(element(e)), frameOnServer(e).origin);
    EXPECT_EQ(WindowController::readSize(element(e)), frameOnServer(e).size);
    EXPECT_GT(frameOnServer(e).height(), 300);
    const auto windows = WindowController::windows("kestr-test-editor");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0], element(e));
    EXPECT_EQ(WindowController::axString(element(p), ax::subrole), ax::dialogSubrole);

    const auto list = x11().windowServer().copyWindowList(WindowListOption::onScreenOnly, 0);
    ASSERT_TRUE(list);
    bool listed = false;
    for (const PlistValue& entry : *list) {
        const PlistDict& d = *entry.get<PlistDict>();
        if (*d.at("kCGWindowNumber").get<std::int64_t>() != std::int64_t{e}) continue;
        listed = true;
        const PlistDict& bounds = *d.at("kCGWindowBounds").get<PlistDict>();
        EXPECT_EQ(bounds.at("Y").number(), frameOnServer(e).y());
        EXPECT_EQ(*d.at("kCGWindowLayer").get<std::int64_t>(), 0);
        EXPECT_EQ(*d.at("kCGWindowOwnerName").get<std::string>(), "Test Editor");
    }
    EXPECT_TRUE(listed);

    // The dump: by desktop-file id, else by class; the dock's program is not listed, and
    // the dock's reserved strip is not part of the visible area.
    const std::string dump = WindowEnumerator::makeDumpText();
    EXPECT_THAT(dump, HasSubstr("Test Editor           kestr-test-editor"));
    EXPECT_THAT(dump, HasSubstr("PlainTool"));
    EXPECT_THAT(dump, ::testing::Not(HasSubstr("SomePanel")));
    EXPECT_THAT(dump, ::testing::Not(HasSubstr("com.kestr.kestr")));
    ASSERT_TRUE(settle([&] { return x11().displays().screens().front().visibleFrame.height() < 1080; }));
}

// A program's windows are listed front to back as the stacking changes, and whether it
// counts as one a person arranges follows its windows' types as they change.
TEST_F(X11WindowsTest, AProgramsWindowsFollowTheStackingAndTheirTypes) {
    ClientOptions pair;
    pair.title = "pair";
    pair.wmClass = "KestrPair";
    pair.windows = 2;
    ClientProcess& client = spawn(pair);
    const std::vector<xcb_window_t> windows = client.windows();
    ASSERT_EQ(windows.size(), 2u);
    awaitManaged(windows[0]);
    awaitManaged(windows[1]);
    Accessibility& ax = x11().accessibility();
    const AXElement app = ax.createApplication(client.pid());
    const auto listed = [&] { return WindowController::windowList(app); };
    for (const xcb_window_t front : {windows[0], windows[1], windows[0]}) {
        ASSERT_EQ(ax.setAttributeValue(app, ax::mainWindow, element(front)), AXError::success);
        EXPECT_TRUE(settle([&] {
            return listed() == AXElementList{element(front), element(front ^ windows[0] ^ windows[1])};
        }));
    }

    const auto setType = [&](xcb_window_t w, const char* type) {
        const xcb_atom_t value = atom(connection(), type);
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, w, atom(connection(), "_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 1, &value);
        xcb_flush(connection());
    };
    const auto policy = [&] {
        const auto running = x11().workspace().runningApplication(client.pid());
        return running ? std::optional(running->activationPolicy) : std::nullopt;
    };
    for (const xcb_window_t w : windows) setType(w, "_NET_WM_WINDOW_TYPE_UTILITY");
    EXPECT_TRUE(settle(
        [&] { return WindowController::axString(element(windows[1]), ax::subrole) == ax::floatingWindowSubrole; }));
    EXPECT_EQ(policy(), ActivationPolicy::regular);
    for (const xcb_window_t w : windows) setType(w, "_NET_WM_WINDOW_TYPE_TOOLBAR");
    EXPECT_TRUE(settle([&] { return policy() == ActivationPolicy::accessory; }));
    setType(windows[1], "_NET_WM_WINDOW_TYPE_NORMAL");
    EXPECT_TRUE(settle([&] { return policy() == ActivationPolicy::regular; }));
    // Still both, in the order the window manager stacks them.
    AXElementList stacked;
    for (const xcb_window_t w : x11().model().stacking()) {
        if (w == windows[0] || w == windows[1]) stacked.push_back(element(w));
    }
    EXPECT_EQ(listed(), stacked);
}

TEST_F(X11WindowsTest, MinimisedAndFullScreenWindowsAreReadAndUndone) {
    ClientOptions hidden;
    hidden.title = "tucked away";
    hidden.state = "hidden";
    ClientOptions full;
    full.title = "everywhere";
    full.state = "fullscreen";
    xcb_window_t h = spawn(hidden).window();
    xcb_window_t f = spawn(full).window();
    ASSERT_TRUE(settle([&] {
        const X11Client* a = x11().model().client(h);
        const X11Client* b = x11().model().client(f);
        return a && b && a->hidden && b->fullScreen;
    }));
    EXPECT_EQ(WindowController::axBool(element(h), ax::minimized), true);
    EXPECT_EQ(WindowController::axBool(element(f), ax::fullScreen), true);

    Accessibility& ax = x11().accessibility();
    EXPECT_EQ(ax.setAttributeValue(element(h), ax::minimized, AXValue(false)), AXError::success);
    EXPECT_TRUE(WindowController::exitFullScreen(element(f)));
    EXPECT_TRUE(
        settle([&] { return !hasState(connection(), h, "_NET_WM_STATE_HIDDEN") && isViewable(connection(), h); }));
    EXPECT_TRUE(settle([&] { return !x11().model().client(f)->fullScreen; }));
    EXPECT_EQ(ax.setAttributeValue(element(h), ax::minimized, AXValue(true)), AXError::success);
    EXPECT_TRUE(settle([&] { return x11().model().client(h)->hidden; }));
}

TEST_F(X11WindowsTest, AWindowThatGoesAwayAnswersInvalidAndAMoveOfItDoesNothing) {
    ClientProcess& client = spawn();
    xcb_window_t w = client.window();
    awaitManaged(w);
    const AXElement gone = element(w);
    client.send("close 0");
    ASSERT_TRUE(settle([&] { return x11().model().client(w) == nullptr; }));
    AXValue value;
    Accessibility& ax = x11().accessibility();
    EXPECT_EQ(ax.copyAttributeValue(gone, ax::position, value), AXError::invalidUIElement);
    EXPECT_EQ(ax.setAttributeValue(gone, ax::position, Point{1, 1}), AXError::invalidUIElement);
    auto applied = run(WindowController::applyFrame(gone, Point{10, 10}, Size{400, 300}));
    EXPECT_TRUE(applied.succeeded());
    EXPECT_TRUE(WindowController::windows(client.options().wmClass).empty());
}

TEST_F(X11WindowsTest, AMoveWaitsForALateWindowManagerAndForSizeSteps) {
    ClientOptions terminal;
    terminal.title = "cells";
    terminal.increment = ClientSize{7, 13};
    terminal.baseSize = ClientSize{4, 4};
    terminal.geometry = ClientGeometry{50, 50, 564, 316};
    xcb_window_t t = spawn(terminal).window();
    awaitManaged(t);

    // Asked for a size between two steps: the nearest step is taken, within one step.
    auto moved = run(WindowController::applyFrame(element(t), Point{300, 200}, Size{700, 500}));
    ASSERT_TRUE(moved.succeeded());
    Rect f = frameOnServer(t);
    EXPECT_EQ(f.origin, (Point{300, 200}));
    EXPECT_LE(std::fabs(f.width() - 700), 7);
    EXPECT_LE(std::fabs(f.height() - 500), 13);
    EXPECT_EQ(WindowController::readSize(element(t)), f.size);

    // A window manager that does not answer: the move gives up at its deadline and reads
    // back what stands; once the manager answers, the window arrives.
    session().pauseWindowManager();
    const double before = loop().now();
    auto late = run(WindowController::applyFrame(element(t), Point{600, 300}, Size{400, 300}));
    EXPECT_TRUE(late.succeeded());
    EXPECT_LT(loop().now() - before, 3.0);
    session().resumeWindowManager();
    EXPECT_TRUE(settle([&] { return WindowController::readPosition(element(t)) == Point{600, 300}; }));
}

// Moves and resizes are followed from the configure events of the frame and the window,
// without asking the server where the window went, and the model agrees with the server.
TEST_F(X11WindowsTest, MovesAreFollowedFromTheirEventsWithoutAskingTheServer) {
    ClientOptions plain;
    plain.title = "mover";
    plain.geometry = ClientGeometry{100, 100, 400, 300};
    const xcb_window_t w = spawn(plain).window();
    awaitManaged(w);
    const std::uint64_t before = x11().connection().roundTrips();
    const Rect frames[] = {Rect(200, 150, 500, 400), Rect(900, 300, 500, 400), Rect(300, 500, 640, 360)};
    for (const Rect& to : frames) {
        ASSERT_TRUE(run(WindowController::applyFrame(element(w), to.origin, to.size)).succeeded());
        EXPECT_TRUE(settle([&] { return frameOnServer(w) == to; }))
            << frameOnServer(w).x() << "," << frameOnServer(w).y();
        EXPECT_EQ(WindowController::readPosition(element(w)), to.origin);
        EXPECT_EQ(WindowController::readSize(element(w)), to.size);
    }
    // Each move used to cost two replies for the frame's event and two for the window's
    // (twelve here); the window manager's own focus changes may still cost a read or two.
    EXPECT_LT(x11().connection().roundTrips() - before, 6u);
}

// A window asked past the display's edge and below its smallest size is clamped by the
// window manager: the move ends on that answer rather than on a quiet period, and asking
// again for the same frame (the size retry, the next apply), which the window manager
// answers with no event at all, waits for nothing.
TEST_F(X11WindowsTest, AMoveTheWindowManagerClampsEndsOnItsAnswer) {
    const xcb_window_t w = withASmallestSize("clamped", ClientGeometry{100, 100, 400, 300});
    const std::uint64_t timedOut = x11().x11Accessibility().timedOutWaits();
    for (int apply = 0; apply < 2; ++apply) {
        auto moved = run(WindowController::applyFrame(element(w), Point{300, 1200}, Size{200, 150}));
        ASSERT_TRUE(moved.succeeded());
        const Rect f = frameOnServer(w);
        EXPECT_LT(f.y(), 1080);
        EXPECT_GE(f.width(), 300);
        EXPECT_EQ(WindowController::readPosition(element(w)), f.origin);
        EXPECT_EQ(WindowController::readSize(element(w)), f.size);
    }
    EXPECT_EQ(x11().x11Accessibility().timedOutWaits(), timedOut);
}

// A window's smallest frame is what its size hints ask for, decorations added; a window
// without a minimum in its hints takes any size down to one pixel.
TEST_F(X11WindowsTest, AWindowsMinimumSizeComesFromItsHintsElseIsOnePixel) {
    for (const std::optional<ClientSize> hinted : {std::optional(ClientSize{300, 200}), std::optional<ClientSize>()}) {
        ClientOptions options;
        options.title = hinted ? "hinted" : "free";
        options.minSize = hinted;
        const xcb_window_t w = spawn(options).window();
        awaitManaged(w);
        const X11Extents e = x11().model().client(w)->extents;
        const Size client = hinted ? Size{300, 200} : Size{1, 1};
        EXPECT_EQ(WindowController::limits(element(w)).minimumSize,
                  (Size{client.width + e.left + e.right, client.height + e.top + e.bottom}))
            << options.title;
    }
}

// Asked for a frame that the window manager answers with the one the window already has
// (below its smallest size, here), the window gets no event at all: a backend that never
// moved it before, as in each run of the command line, knows that and waits for nothing.
TEST_F(X11WindowsTest, AMoveThatChangesNothingWaitsForNoDeadline) {
    const xcb_window_t w = withASmallestSize("unmoved", ClientGeometry{100, 100, 300, 200});
    const Rect before = frameOnServer(w);
    const std::uint64_t timedOut = x11().x11Accessibility().timedOutWaits();
    ASSERT_TRUE(run(WindowController::applyFrame(element(w), before.origin, Size{200, 150})).succeeded());
    EXPECT_EQ(frameOnServer(w), before);
    EXPECT_EQ(x11().x11Accessibility().timedOutWaits(), timedOut);
}

// A move to where the window already is ends at once, before the window manager has
// answered it; the next move waits for the window manager's answer to itself, not to that
// one, and finds the window where it asked.
TEST_F(X11WindowsTest, AMoveRightBehindOneToWhereTheWindowIsWaitsForItsOwnAnswer) {
    const xcb_window_t w = withASmallestSize("twice", ClientGeometry{100, 100, 400, 300});
    Rect here = frameOnServer(w);
    for (const Point to : {Point{700, 400}, Point{200, 150}, Point{900, 500}}) {
        ASSERT_TRUE(run(WindowController::applyFrame(element(w), here.origin, here.size)).succeeded());
        ASSERT_TRUE(run(WindowController::applyFrame(element(w), to, here.size)).succeeded());
        EXPECT_EQ(WindowController::readPosition(element(w)), to);
        here.origin = to;
    }
}

// Other programs write a window's states too (a window manager at every focus change, the
// window itself): a move ends on the window manager's answer to it, not on their writes,
// and finds the window where it asked. The window manager is held past the time after
// which a fence goes behind an unanswered move, so the move ends on the fence's answer.
TEST_F(X11WindowsTest, AMoveEndsOnTheWindowManagersAnswerNotOnAnotherProgramsStateWrite) {
    const xcb_window_t w = withASmallestSize("written", ClientGeometry{100, 100, 400, 300});
    const Size size = frameOnServer(w).size;
    const xcb_atom_t state = atom(connection(), "_NET_WM_STATE");
    const xcb_atom_t name = atom(connection(), "_NET_WM_NAME");
    Accessibility& ax = x11().accessibility();
    int written = 0;
    for (const Point to : {Point{700, 400}, Point{200, 150}, Point{900, 500}}) {
        // The state is written once the server has the move, and kestr has seen that write
        // (and a title behind it) before the window manager gets to the move.
        session().pauseWindowManager();
        ax.setFrame(element(w), to, size, 1);
        sync(x11().connection().raw());
        const std::string title = "written " + std::to_string(++written);
        xcb_change_property(connection(), XCB_PROP_MODE_APPEND, w, state, XCB_ATOM_ATOM, 32, 0, nullptr);
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, w, name, atom(connection(), "UTF8_STRING"), 8,
                            title.size(), title.data());
        xcb_flush(connection());
        const std::uint64_t fences = x11().x11Accessibility().fencesSent();
        kestr::spawn([](X11Platform& x, XvfbSession& session, xcb_window_t window, std::string seen) -> Task<void> {
            co_await x.model().waitFor([&] { return x.model().client(window)->title == seen; }, kDeadlineSeconds);
            co_await sleepFor(0.1);
            session.resumeWindowManager();
        }(x11(), session(), w, title));
        ASSERT_TRUE(run(ax.settled(element(w), 2.0)).succeeded());
        session().resumeWindowManager();
        EXPECT_EQ(WindowController::readPosition(element(w)), to);
        EXPECT_EQ(x11().x11Accessibility().fencesSent() - fences, 1u);
    }
}

TEST_F(X11WindowsTest, ALostConnectionIsReportedOnce) {
    int lost = 0;
    x11().onConnectionLost = [&] { ++lost; };
    ::shutdown(x11().connection().fd(), SHUT_RDWR);
    run(x11().model().waitFor([] { return false; }, 0.2));
    WindowController::windows("anything");
    x11().displays().mouseLocation();
    EXPECT_EQ(lost, 1);
}

}  // namespace
}  // namespace kestr::x11test
