#include "Layout/LayoutCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "Layout/ApplyFixture.h"
#include "Platform/AXAttributes.h"

namespace kestr::test {
namespace {

// A 1440 x 900 main display with a 25-point menu bar and a 1920 x 1080 display to its
// right; content read scripts answer from scriptOutput by the application addressed.
class CaptureTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        addDisplay(2, Rect(1440, 0, 1920, 1080));
        sim->simScriptHost().handler = [this](const std::string& source) -> std::optional<ScriptOutcome> {
            auto it = scriptOutput.find(scriptAddressee(source));
            if (it == scriptOutput.end()) return SimScriptHost::failure(-1728, "no such object");
            return SimScriptHost::success(it->second);
        };
    }
    int scriptsSentTo(const std::string& bundleID) const {
        const auto& s = sim->simScriptHost().sources();
        return static_cast<int>(
            std::count_if(s.begin(), s.end(), [&](auto& x) { return scriptAddressee(x) == bundleID; }));
    }
    static Layout capture(std::optional<std::string> display = std::nullopt, bool currentSpaceOnly = false) {
        return LayoutCapture::captureCurrent("k", display, currentSpaceOnly);
    }
    static const LayoutItem& titled(const Layout& layout, const std::string& title) {
        auto it = std::find_if(layout.items.begin(), layout.items.end(),
                               [&](const LayoutItem& i) { return i.capturedWindowTitle == title; });
        return it != layout.items.end() ? *it : throw std::runtime_error("no item titled " + title);
    }
    static std::vector<std::string> titles(const Layout& layout) {
        std::vector<std::string> out;
        for (const LayoutItem& item : layout.items) out.push_back(item.capturedWindowTitle.value_or(""));
        return out;
    }
    static Rect local(const ScreenFrame& f) { return Rect(f.x, f.y, f.width, f.height); }
    std::map<std::string, std::string> scriptOutput;
};

TEST_F(CaptureTest, KeepsVisibleWindowsInDisplayLocalFramesOrderedByApplicationDisplayAndPlace) {
    SimWindow minimized = window("minimized", Rect(100, 100, 400, 300));
    minimized.minimized = true;
    addApp("com.example.zed", "Zed",
           {window("narrow", Rect(10, 100, 49, 300)), window("exact", Rect(400, 100, 50, 50)), minimized,
            // Only 49 points of it lie above the bottom of the display.
            window("cut", Rect(600, 851, 300, 200)), window("nowhere", Rect(-900, 100, 400, 300))});
    addApp("com.example.alpha", "Alpha",
           {window("side", Rect(1500, 980, 600, 400)), window("low", Rect(0, 500, 300, 300)),
            window("under menu bar", Rect(100, 10, 600, 400))});
    addApp(LayoutCapture::builtInBundleID, "kestr", {window("Manage Kests", Rect(100, 100, 600, 400))});

    const Layout layout = capture();

    EXPECT_EQ(titles(layout), (std::vector<std::string>{"under menu bar", "low", "side", "exact"}));
    EXPECT_EQ(local(titled(layout, "under menu bar").targetFrame), Rect(100, 25, 600, 385));
    const ScreenFrame& side = titled(layout, "side").targetFrame;
    EXPECT_EQ(side.displayUUID, uuidOf(2));
    EXPECT_EQ(local(side), Rect(60, 980, 600, 100));
    EXPECT_EQ(side.dispX, 1440);
    EXPECT_EQ(side.dispW, 1920);
    for (const LayoutItem& item : layout.items) EXPECT_EQ(item.capturedFrame, item.targetFrame);
}

TEST_F(CaptureTest, MatchersFollowTitlesAndScreenOrderInTheWholeWindowList) {
    addApp("com.example.solo", "Solo", {window("only", Rect(0, 100, 300, 300))});
    addApp("com.apple.Terminal", "Terminal",
           {window("a", Rect(0, 500, 300, 300)), window("b", Rect(400, 500, 300, 300))});
    // The index follows the top edge, then the left edge.
    addApp("com.example.same", "Same",
           {window("x", Rect(600, 400, 300, 300)), window("x", Rect(500, 100, 300, 300)),
            window("x", Rect(100, 400, 300, 300))});
    // A minimized window is not captured yet still counts, untitled windows are found by place.
    SimWindow minimized = window("y", Rect(800, 100, 300, 300));
    minimized.minimized = true;
    addApp("com.example.mixed", "Mixed",
           {window("", Rect(800, 500, 300, 300)), window("y", Rect(800, 300, 300, 300)), minimized});

    std::map<std::string, WindowMatcher> matchers;  // by application and top + left
    for (const LayoutItem& i : capture().items)
        matchers[i.appName + " " + std::to_string(int(i.targetFrame.y + i.targetFrame.x))] = i.windowMatcher;

    EXPECT_EQ(matchers["Solo 100"], WindowMatcher::firstWindow());
    EXPECT_EQ(matchers["Terminal 900"], WindowMatcher::titleContains("b"));
    EXPECT_EQ(matchers["Same 600"], WindowMatcher::windowIndex(0));
    EXPECT_EQ(matchers["Same 500"], WindowMatcher::windowIndex(1));
    EXPECT_EQ(matchers["Same 1000"], WindowMatcher::windowIndex(2));
    EXPECT_EQ(matchers["Mixed 1100"], WindowMatcher::windowIndex(1));
    EXPECT_EQ(matchers["Mixed 1300"], WindowMatcher::windowIndex(2));
}

TEST_F(CaptureTest, SpacesAndOneDisplay) {
    SimWindow elsewhere = window("elsewhere", Rect(500, 100, 300, 300));
    elsewhere.space = 2;
    addApp("com.example.a", "A",
           {window("here", Rect(100, 100, 300, 300)), window("side", Rect(1600, 100, 300, 300)), elsewhere});

    const Layout all = capture();
    EXPECT_EQ(titled(all, "here").capturedSpaceLabel, "This Space");
    EXPECT_EQ(titled(all, "elsewhere").capturedSpaceLabel, "Other Space");
    EXPECT_EQ(titles(capture(std::nullopt, true)), (std::vector<std::string>{"here", "side"}));
    EXPECT_EQ(titles(capture(uuidOf(2))), std::vector<std::string>{"side"});
    // Without the window list every window is taken to be on another Space.
    sim->simWindowServer().unavailable = true;
    EXPECT_EQ(titled(capture(), "here").capturedSpaceLabel, "Other Space");
}

TEST_F(CaptureTest, TouchingWindowsAreSnappedOntoOneEdge) {
    addApp("com.example.left", "Left", {window("left", Rect(0, 25, 800, 600))});
    addApp("com.example.right", "Right", {window("right", Rect(803, 25, 637, 600))});
    addApp("com.example.far", "Far", {window("far", Rect(0, 700, 700, 200))});
    const Layout layout = capture();
    EXPECT_EQ(local(titled(layout, "left").targetFrame), Rect(0, 25, 801.5, 600));
    EXPECT_EQ(local(titled(layout, "right").targetFrame), Rect(801.5, 25, 638.5, 600));
    ASSERT_EQ(layout.edgeGroups.size(), 1u);
    const EdgeGroup& group = layout.edgeGroups[0];
    EXPECT_EQ(group.coordinate, 801.5);
    ASSERT_EQ(group.leftOrTopItems.size(), 1u);
    EXPECT_EQ(group.leftOrTopItems[0].itemID, titled(layout, "left").id);
}

TEST_F(CaptureTest, ATerminalThatStopsShortOfAnEdgeByPartOfACellStillSharesIt) {
    // Stacked quarters; the terminal above took whole 7 x 14 cells, 6 points short.
    const AXElement terminal =
        addApp("com.example.term", "Term", {window("term", Rect(720, 25, 720, 431))}).windows[0].element;
    addApp("com.example.below", "Below", {window("below", Rect(720, 462, 720, 438))});
    EXPECT_TRUE(capture().edgeGroups.empty()) << "a window that states no step";
    simWindow(terminal).sizeRule.cell = Size{7, 14};
    simWindow(terminal).minimumSize = Size{260, 300};
    simWindow(terminal).reportsSizeHints = true;
    const Layout layout = capture();
    ASSERT_EQ(layout.edgeGroups.size(), 1u);
    EXPECT_EQ(layout.edgeGroups[0].axis, Axis::horizontal);
    EXPECT_EQ(layout.edgeGroups[0].coordinate, 459);
    EXPECT_EQ(layout.edgeGroups[0].minCoordinate, 325) << "the terminal's own minimum height";
    EXPECT_EQ(local(titled(layout, "term").targetFrame), Rect(720, 25, 720, 434));
    EXPECT_EQ(local(titled(layout, "below").targetFrame), Rect(720, 459, 720, 441));
}

TEST_F(CaptureTest, ChromeAndCanaryAreEachReadForTheirOwnWindows) {
    addApp("com.google.Chrome.canary", "Google Chrome Canary", {window("Canary", Rect(100, 100, 800, 600))});
    scriptOutput["com.google.Chrome.canary"] = "100,100,900,700\t1\thttps://canary.example/\n";
    EXPECT_EQ(titled(capture(), "Canary").browserURL, "https://canary.example/");
    EXPECT_EQ(scriptsSentTo("com.google.Chrome"), 0);

    addApp("com.google.Chrome", "Google Chrome", {window("News", Rect(100, 100, 800, 600))});
    scriptOutput["com.google.Chrome"] = "100,100,900,700\t2\thttps://a.example/\x1fhttps://b.example/\n";
    const Layout layout = capture();
    EXPECT_EQ(titled(layout, "News").browserTabs,
              (std::vector<std::string>{"https://a.example/", "https://b.example/"}));
    EXPECT_EQ(titled(layout, "News").browserActiveTabIndex, 1);
    EXPECT_EQ(titled(layout, "News").browserURL, "https://b.example/");
    EXPECT_EQ(titled(layout, "Canary").browserTabs, std::vector<std::string>{"https://canary.example/"});
}

// A Ghostty window split into two panes side by side.
SimWindow splitWindow(const std::string& title, Rect frame) {
    SimWindow w;
    w.title = title;
    w.position = frame.origin;
    w.size = frame.size;
    SimElement left, right;
    left.role = right.role = ax::scrollAreaRole;
    left.position = frame.origin;
    right.position = Point{frame.x() + frame.width() / 2, frame.y()};
    left.size = right.size = Size{frame.width() / 2, frame.height()};
    w.children = {left, right};
    return w;
}

TEST_F(CaptureTest, GhosttyPanesAreReadOnlyForItsOneListedAndKeptWindow) {
    scriptOutput["com.mitchellh.ghostty"] = "/Users/a/src\n/Users/a/it's\n";
    const SimProcess& ghostty =
        addApp("com.mitchellh.ghostty", "Ghostty", {splitWindow("main", Rect(100, 100, 1200, 700))});
    const Layout one = capture();
    EXPECT_EQ(one.items.at(0).terminalSplitMode, "columns");
    EXPECT_EQ(one.items[0].terminalTabs, (std::vector<std::string>{"cd '/Users/a/src'", "cd '/Users/a/it'\\''s'"}));

    // The pane script answers for whichever window is in front: with a second window,
    // kept or not, or a window that is not listed, no panes are read.
    const AXElement side = sim->world().addWindow(ghostty.pid, splitWindow("side", Rect(1600, 100, 1200, 700))).element;
    EXPECT_FALSE(capture(uuidOf(1)).items.at(0).terminalTabs);
    EXPECT_FALSE(capture().items.at(0).terminalTabs);
    sim->world().closeWindow(side);
    SimWindow palette = window("palette", Rect(200, 200, 400, 300));
    palette.role = ax::unknownRole;
    sim->world().addWindow(ghostty.pid, palette);
    EXPECT_EQ(titles(capture()), std::vector<std::string>{"main"});
    EXPECT_FALSE(capture().items.at(0).terminalTabs);
    EXPECT_EQ(scriptsSentTo("com.mitchellh.ghostty"), 1);
}

}  // namespace
}  // namespace kestr::test
