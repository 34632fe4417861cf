// The frontmost window at a position, kept for the area around it: whatever changes the
// windows there changes the answer at a position asked about before.
#include <gtest/gtest.h>
#include <xcb/xcb_icccm.h>

#include "Platform/X11/X11TopmostWindow.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

bool operator==(const X11TopmostWindow::Area& a, const X11TopmostWindow::Area& b) {
    return a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY;
}

TEST(X11TopmostWindowAreaTest, AnAreaNarrowsOnTheSideOfThePointThatKeepsTheMostOfIt) {
    using Area = X11TopmostWindow::Area;
    const Area whole{0, 100, 0, 100};
    struct Case {
        Rect other;
        Point p;
        bool avoided;
        Area after;
    };
    const Case cases[] = {
        {Rect(60, 0, 20, 100), {30, 50}, true, {0, 60, 0, 100}},
        {Rect(0, 60, 100, 10), {50, 90}, true, {0, 100, 70, 100}},
        {Rect(60, 10, 20, 20), {30, 50}, true, {0, 100, 30, 100}},  // below it keeps more than left of it
        {Rect(40, 40, 20, 20), {60, 50}, true, {60, 100, 0, 100}},  // its right edge is outside it
        {Rect(40, 40, 20, 20), {50, 50}, false, whole},
        {Rect(200, 0, 10, 10), {50, 50}, true, whole},  // clear of the area already
        {Rect(40, 0, 0, 100), {50, 50}, true, whole},   // holds no point
    };
    for (const Case& c : cases) {
        Area area = whole;
        EXPECT_EQ(area.avoid(c.other, c.p), c.avoided) << c.other.minX() << "," << c.other.minY();
        EXPECT_TRUE(area == c.after) << c.other.minX() << "," << c.other.minY();
    }
}

class X11TopmostWindowTest : public BackendTest {};

TEST_F(X11TopmostWindowTest, AnAnswerKeptForAnAreaFollowsEveryChangeOfTheWindowsThere) {
    X11WindowModel& model = x11().model();
    X11TopmostWindow topmost(model, [&model](const X11Client& c) -> std::optional<Rect> {
        if (!model.shows(c)) return std::nullopt;
        return c.frame();
    });
    const auto open = [&](const char* wmClass, int x) {
        ClientOptions options;
        options.wmClass = wmClass;
        options.geometry = ClientGeometry{x, 200, 400, 300};
        return openFramed(options, true);
    };
    const xcb_window_t back = open("KestrBack", 100);
    const xcb_window_t front = open("KestrFront", 300);
    X11Connection& x = x11().connection();
    const auto shown = [&](xcb_window_t w) {
        const X11Client* c = model.client(w);
        return c && model.shows(*c);
    };
    const auto before = [&](xcb_window_t a, xcb_window_t b) {
        const auto& s = model.stacking();
        return std::find(s.begin(), s.end(), a) < std::find(s.begin(), s.end(), b);
    };
    const auto moveTo = [&](xcb_window_t w, std::uint32_t left) {
        x.sendRootMessage(w, x.ewmh()._NET_MOVERESIZE_WINDOW, XCB_GRAVITY_NORTH_WEST | 1 << 8 | 2 << 12, left);
    };
    const auto leftAt = [&](xcb_window_t w) { return model.client(w)->frame().minX(); };
    struct Step {
        const char* what;
        std::function<void()> change;
        std::function<bool()> done;
        std::vector<std::pair<double, xcb_window_t>> answers;  // at (x, 350)
    };
    const Step steps[] = {
        {"as opened",
         [] {},
         [&] { return before(front, back); },
         {{400, front}, {200, back}, {800, XCB_NONE}, {450, front}, {150, back}}},
        // Under some window managers a move changes no property: only the window's own
        // configure events tell of it.
        {"the back one moved away", [&] { moveTo(back, 900); }, [&] { return leftAt(back) == 900; },
         {{200, XCB_NONE}, {1000, back}}},
        {"the back one moved back", [&] { moveTo(back, 100); }, [&] { return leftAt(back) == 100; },
         {{200, back}, {1000, XCB_NONE}, {400, front}}},
        {"the back one raised",
         [&] { x.sendRootMessage(back, x.ewmh()._NET_ACTIVE_WINDOW, 2, XCB_CURRENT_TIME, 0); },
         [&] { return before(back, front); },
         {{400, back}, {600, front}}},
        {"the back one minimised",
         [&] { x.sendRootMessage(back, x.atom("WM_CHANGE_STATE"), XCB_ICCCM_WM_STATE_ICONIC); },
         [&] { return !shown(back); },
         {{400, front}, {200, XCB_NONE}}},
        {"the front one moved", [&] { moveTo(front, 900); }, [&] { return leftAt(front) == 900; },
         {{400, XCB_NONE}, {1000, front}}},
        {"the front one on another desktop",
         [&] { x.sendRootMessage(front, x.ewmh()._NET_WM_DESKTOP, 1, 2); },
         [&] { return !shown(front); },
         {{1000, XCB_NONE}}},
    };
    for (const Step& step : steps) {
        step.change();
        x.flush();
        ASSERT_TRUE(settle(step.done)) << step.what;
        for (const auto& [at, expected] : step.answers) {
            const X11Client* c = topmost.at(Point{at, 350});
            EXPECT_EQ(c ? c->id : XCB_NONE, expected) << step.what << ", at " << at;
        }
    }
}

}  // namespace
}  // namespace kestr::x11test
