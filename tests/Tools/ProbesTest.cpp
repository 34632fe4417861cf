// The drag probe's lines for posted mouse events, and the minimum-size probe's pass.
#include <gtest/gtest.h>

#include "Support/DesktopTest.h"
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
    std::int32_t app(const std::string& bundleID, const std::string& name) { return addApp(bundleID, name, {}).pid; }
    SimWindow& window(std::int32_t pid, const std::string& title, Rect frame, Size minimum = {}) {
        SimWindow w = DesktopTest::window(title, frame);
        w.minimumSize = minimum;
        return sim->world().addWindow(pid, w);
    }
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

TEST_F(ProbesTest, DragProbeFollowsDragsAndClicksFromDownToUp) {
    const auto pid = app("com.apple.Terminal", "Terminal");
    const AXElement element = window(pid, "zsh", Rect(100, 100, 600, 400)).element;
    sim->world().frontmostPid = pid;
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
    sim->world().window(element)->unreadable.insert("AXTitle");
    post(EventType::leftMouseDown);
    post(EventType::leftMouseUp);
    sim->world().frontmostPid = app("com.example.Empty", "Empty");
    post(EventType::leftMouseDown);
    post(EventType::leftMouseUp);

    EXPECT_EQ(printed,
              "DragProbe ready. Drag a few windows by their title bar. (Ctrl-C to stop.)\n"
              "DOWN  app=Terminal win='zsh' pos=(100,100)\n"
              "DRAG  win='zsh' winPos=(110,110) cursorAX=(310,120)\n"
              "UP    win='zsh' finalPos=(110,110) moved=20\n"
              "DOWN  app=Terminal win='(untitled)' pos=(110,110)\n"
              "UP    win='(untitled)' finalPos=(110,110) moved=0  (click, not a drag)\n"
              "DOWN  Empty: no focused window\n");  // no window tracked, so no UP line
}

TEST_F(ProbesTest, DragProbeWithoutPermissionSaysSoAndInstallsNothing) {
    sim->world().trusted = false;
    DragProbe probe(output);
    probe.start();
    EXPECT_TRUE(probe.monitors.empty());
    EXPECT_EQ(printed, "Accessibility NOT granted — global monitors won't fire. Grant it and retry.\n");
}

std::vector<MinSizeProbe::Result> probe(VirtualMainActor& loop, std::set<std::string> ids) {
    std::vector<MinSizeProbe::Result> results;
    spawn([](std::set<std::string> i, std::vector<MinSizeProbe::Result>& out) -> Task<void> {
        out = co_await MinSizeProbe::probeAll(std::move(i));
    }(std::move(ids), results));
    loop.runUntilIdle();
    return results;
}

TEST_F(ProbesTest, MinSizeProbeMeasuresAndRestoresEveryWindow) {
    const auto terminal = app("com.apple.Terminal", "Terminal");
    const auto finder = app("com.apple.finder", "Finder");
    app("com.example.Notes", "Notes");
    const AXElement te = window(terminal, "zsh — 80×24", Rect(40, 50, 700.5, 500), Size{260, 212}).element;
    const AXElement fe = window(finder, "", Rect(900, 60, 800, 600), Size{316, 288}).element;

    const auto results = probe(sim->virtualTime(), {"com.apple.Terminal", "com.apple.finder"});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(sim->world().window(te)->frame(), Rect(40, 50, 700.5, 500));
    EXPECT_EQ(sim->world().window(fe)->frame(), Rect(900, 60, 800, 600));
    EXPECT_NEAR(sim->virtualTime().now(), 0.4, 1e-9) << "200 ms per window";
    EXPECT_EQ(MinSizeProbe::format(probe(sim->virtualTime(), {"com.example.Notes"})),
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
