// The drag probe's lines for posted mouse events, and the minimum-size probe's pass.
#include <gtest/gtest.h>

#include "Platform/AXAttributes.h"
#include "Support/DesktopTest.h"
#include "Support/StartedTask.h"
#include "Tools/DragProbe.h"
#include "Tools/MinSizeProbe.h"

namespace kestr {
namespace {

class ProbesTest : public test::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1920, 1200));
    }
    // The element of the application's only window.
    AXElement window(test::AppBuilder app) { return app.run().windows.at(0).element; }
    void post(EventType type) {
        Event e;
        e.type = type;
        e.location = sim->simDisplays().toAppKit(sim->world().pointer);
        sim->simEventMonitors().post(e);
        sim->virtualTime().runPending();
    }
    std::string printed;
    DragProbe::Sink output = [this](const std::string& text) { printed += text; };
};

// Titles and names reach the terminal cleaned: an escape, a bell or a line separator
// shows as a mark.
TEST_F(ProbesTest, DragProbeFollowsDragsAndClicksFromDownToUp) {
    const AXElement element =
        window(app("com.apple.Terminal", "Terminal").window("zsh\x1b[2J\u2028", Rect(100, 100, 600, 400)));
    sim->world().frontmostPid = sim->world().owner(element)->pid;
    DragProbe probe(output);
    probe.start();
    ASSERT_EQ(probe.monitors.size(), 3u);

    sim->world().pointer = Point{300, 110};
    post(EventType::leftMouseDown);
    sim->world().window(element)->position = Point{110, 109};  // 19 points: no line
    post(EventType::leftMouseDragged);
    sim->world().window(element)->position = Point{110, 110};  // 20 points: a line
    sim->world().pointer = Point{310, 120};
    post(EventType::leftMouseDragged);
    post(EventType::leftMouseUp);
    sim->world().window(element)->unreadable.insert(ax::title);
    post(EventType::leftMouseDown);
    post(EventType::leftMouseUp);
    sim->world().frontmostPid = app("com.example.Empty", "Empty\x07").run().pid;
    post(EventType::leftMouseDown);
    post(EventType::leftMouseUp);

    EXPECT_EQ(printed,
              "DragProbe ready. Drag a few windows by their title bar. (Ctrl-C to stop.)\n"
              "DOWN  app=Terminal win='zsh\uFFFD[2J\uFFFD' pos=(100,100)\n"
              "DRAG  win='zsh\uFFFD[2J\uFFFD' winPos=(110,110) cursorAX=(310,120)\n"
              "UP    win='zsh\uFFFD[2J\uFFFD' finalPos=(110,110) moved=20\n"
              "DOWN  app=Terminal win='(untitled)' pos=(110,110)\n"
              "UP    win='(untitled)' finalPos=(110,110) moved=0  (click, not a drag)\n"
              "DOWN  Empty\uFFFD: no focused window\n");  // no window tracked, so no UP line
}

TEST_F(ProbesTest, DragProbeWithoutPermissionSaysSoAndInstallsNothing) {
    sim->world().trusted = false;
    DragProbe probe(output);
    probe.start();
    EXPECT_TRUE(probe.monitors.empty());
    EXPECT_EQ(printed, "Accessibility NOT granted — global monitors won't fire. Grant it and retry.\n");
}

std::vector<MinSizeProbe::Result> probe(VirtualMainActor& loop, std::set<std::string> ids) {
    auto run = test::start(MinSizeProbe::probeAll(std::move(ids)));
    loop.runUntilIdle();
    EXPECT_TRUE(run.succeeded());
    return run.succeeded() ? run.value() : std::vector<MinSizeProbe::Result>{};
}

TEST_F(ProbesTest, MinSizeProbeMeasuresAndRestoresEveryWindow) {
    const AXElement te =
        window(app("com.apple.Terminal", "Terminal").window("zsh — 80×24", Rect(40, 50, 700.5, 500), Size{260, 212}));
    const AXElement fe = window(app("com.apple.finder", "Finder").window("", Rect(900, 60, 800, 600), Size{316, 288}));
    app("com.example.Notes", "Notes").window("Notes", Rect(10, 30, 400, 300), Size{200, 100}).run();
    // A window that does not report its size cannot be measured, nor put back: it is left alone.
    const AXElement unmeasurable = window(app("com.apple.Terminal", "Terminal").window("ssh", Rect(0, 0, 500, 400)));
    sim->world().window(unmeasurable)->unreadable.insert(ax::size);

    const auto results = probe(sim->virtualTime(), {"com.apple.Terminal", "com.apple.finder"});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(sim->world().window(te)->frame(), Rect(40, 50, 700.5, 500));
    EXPECT_EQ(sim->world().window(fe)->frame(), Rect(900, 60, 800, 600));
    EXPECT_EQ(sim->world().window(unmeasurable)->frame(), Rect(0, 0, 500, 400));
    EXPECT_EQ(MinSizeProbe::format(probe(sim->virtualTime(), {"com.example.Missing"})),
              "================ Min-size probe ================\n(no matching windows found)\n");

    EXPECT_EQ(MinSizeProbe::format(results),
              "================ Min-size probe ================\n"
              "[Terminal] zsh — 80×24\n"
              "  bundle: com.apple.Terminal\n"
              "  original: 700 × 500\n"
              "  min     : 260 × 212\n"
              "[Finder] (no title)\n"
              "  bundle: com.apple.finder\n"
              "  original: 800 × 600\n"
              "  min     : 316 × 288\n"
              "================================================\n");
}

}  // namespace
}  // namespace kestr
