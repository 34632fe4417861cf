#include "Layout/LayoutCapture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/CaptureDesktop.h"

namespace kestr::test {
namespace {

std::vector<std::string> titles(const Layout& layout) {
    std::vector<std::string> out;
    for (const LayoutItem& item : layout.items) out.push_back(item.capturedWindowTitle.value_or(""));
    return out;
}

TEST_F(CaptureTest, EmptyDesktopGivesAKestWithoutItems) {
    addDisplays();
    const Layout layout = LayoutCapture::captureCurrent("Empty", std::nullopt, false);
    EXPECT_EQ(layout.name, "Empty");
    EXPECT_TRUE(layout.items.empty());
    EXPECT_TRUE(layout.edgeGroups.empty());
    EXPECT_FALSE(layout.hotkey);
    EXPECT_EQ(layout.createdAt, layout.updatedAt);
    EXPECT_EQ(layout.createdAt.secondsSince1970, sim->clock().now());
    EXPECT_NE(layout.id, LayoutCapture::captureCurrent("Empty", std::nullopt, false).id);
}

TEST_F(CaptureTest, SmallMinimizedAndMostlyHiddenWindowsAreLeftOut) {
    addDisplays();
    SimWindow minimized = window("minimized", Rect(100, 100, 400, 300));
    minimized.minimized = true;
    addApp("com.example.a", "A",
           {window("narrow", Rect(10, 100, 49, 300)), window("low", Rect(10, 500, 300, 49)),
            window("exact", Rect(400, 100, 50, 50)), minimized,
            // Only 49 points of it lie above the bottom of the display.
            window("cut", Rect(600, 851, 300, 200))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(titles(layout), std::vector<std::string>{"exact"});
    const ScreenFrame& f = layout.items[0].targetFrame;
    EXPECT_EQ(f.displayUUID, mainUUID());
    EXPECT_EQ(f.x, 400);
    EXPECT_EQ(f.y, 100);
    EXPECT_EQ(f.width, 50);
    EXPECT_EQ(f.height, 50);
    EXPECT_EQ(f.dispW, 1440);
    EXPECT_EQ(f.dispH, 900);
    EXPECT_EQ(f.dispX, 0);
    EXPECT_EQ(f.dispY, 0);
}

TEST_F(CaptureTest, FramesAreDisplayLocalAndClippedToTheVisibleArea) {
    addDisplays();
    addApp("com.example.a", "A", {window("side", Rect(1500, 980, 600, 400))});
    addApp("com.example.b", "B", {window("under menu bar", Rect(100, 10, 600, 400))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 2u);
    const ScreenFrame& side = itemTitled(layout, "side")->targetFrame;
    EXPECT_EQ(side.displayUUID, sideUUID());
    EXPECT_EQ((Rect(side.x, side.y, side.width, side.height)), Rect(60, 980, 600, 100));
    EXPECT_EQ(side.dispX, 1440);
    EXPECT_EQ(side.dispW, 1920);
    const ScreenFrame& top = itemTitled(layout, "under menu bar")->targetFrame;
    EXPECT_EQ((Rect(top.x, top.y, top.width, top.height)), Rect(100, 25, 600, 385));
    for (const LayoutItem& item : layout.items) {
        EXPECT_TRUE(item.launchIfMissing);
        EXPECT_EQ(item.capturedFrame, item.targetFrame);
    }
}

TEST_F(CaptureTest, WindowsOffEveryDisplayOrOnADisconnectedOneAreLeftOut) {
    addDisplays();
    addApp("com.example.a", "A", {window("nowhere", Rect(-900, 100, 400, 300))});
    addApp("com.example.b", "B", {window("gone", Rect(1500, 100, 400, 300))});
    // The display keeps its place but no longer resolves from its UUID.
    sim->world().displays[1].uuid = "not-a-uuid";
    EXPECT_TRUE(LayoutCapture::captureCurrent("k", std::nullopt, false).items.empty());
}

TEST_F(CaptureTest, MatchersFollowTitlesAndScreenOrder) {
    addDisplays();
    addApp("com.example.solo", "Solo", {window("only", Rect(0, 100, 300, 300))});
    addApp("com.apple.Terminal", "Terminal",
           {window("a", Rect(0, 500, 300, 300)), window("b", Rect(400, 500, 300, 300))});
    // Listed lower first: the index follows the top edge, then the left edge.
    addApp("com.example.same", "Same",
           {window("x", Rect(600, 400, 300, 300)), window("x", Rect(500, 100, 300, 300)),
            window("x", Rect(100, 400, 300, 300))});
    addApp("com.example.mixed", "Mixed",
           {window("", Rect(800, 300, 300, 300)), window("named", Rect(800, 100, 300, 300))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 8u);

    EXPECT_EQ(itemTitled(layout, "only")->windowMatcher, WindowMatcher::firstWindow());
    EXPECT_EQ(itemTitled(layout, "a")->windowMatcher, WindowMatcher::titleContains("a"));
    EXPECT_EQ(itemTitled(layout, "b")->windowMatcher, WindowMatcher::titleContains("b"));

    std::vector<std::pair<double, WindowMatcher>> same;
    for (const LayoutItem& item : layout.items) {
        if (item.appName == "Same") same.emplace_back(item.targetFrame.x, item.windowMatcher);
    }
    std::sort(same.begin(), same.end(), [](auto& l, auto& r) { return l.first < r.first; });
    ASSERT_EQ(same.size(), 3u);
    EXPECT_EQ(same[0].second, WindowMatcher::windowIndex(1));  // x 100, lower row, left
    EXPECT_EQ(same[1].second, WindowMatcher::windowIndex(0));  // x 500, top row
    EXPECT_EQ(same[2].second, WindowMatcher::windowIndex(2));  // x 600, lower row, right

    EXPECT_EQ(itemTitled(layout, "named")->windowMatcher, WindowMatcher::titleContains("named"));
    // The untitled window keeps no title and is found by its place below "named".
    const auto untitled = std::find_if(layout.items.begin(), layout.items.end(),
                                       [](const LayoutItem& i) { return i.appName == "Mixed" && !i.capturedWindowTitle; });
    ASSERT_NE(untitled, layout.items.end());
    EXPECT_EQ(untitled->windowMatcher, WindowMatcher::windowIndex(1));
}

TEST_F(CaptureTest, WindowsThatAreNotCapturedStillCountAsPeers) {
    addDisplays();
    SimWindow hidden = window("x", Rect(100, 100, 300, 300));
    hidden.minimized = true;
    addApp("com.example.a", "A", {window("x", Rect(100, 500, 300, 300)), hidden});
    addApp("com.example.b", "B", {window("alone", Rect(500, 100, 300, 300)), window("tiny", Rect(900, 100, 20, 20))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 2u);
    EXPECT_EQ(itemTitled(layout, "x")->windowMatcher, WindowMatcher::windowIndex(1));
    EXPECT_EQ(itemTitled(layout, "alone")->windowMatcher, WindowMatcher::titleContains("alone"));
}

TEST_F(CaptureTest, SpaceLabelsAndCurrentSpaceOnly) {
    addDisplays();
    addApp("com.example.a", "A",
           {window("here", Rect(100, 100, 300, 300)), windowOnSpace("elsewhere", Rect(500, 100, 300, 300), 2)});

    const Layout all = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(all.items.size(), 2u);
    EXPECT_EQ(itemTitled(all, "here")->capturedSpaceLabel, "This Space");
    EXPECT_EQ(itemTitled(all, "elsewhere")->capturedSpaceLabel, "Other Space");
    // The window on the other Space still makes the titles count as peers.
    EXPECT_EQ(itemTitled(all, "here")->windowMatcher, WindowMatcher::titleContains("here"));

    const Layout here = LayoutCapture::captureCurrent("k", std::nullopt, true);
    ASSERT_EQ(titles(here), std::vector<std::string>{"here"});
    EXPECT_EQ(here.items[0].windowMatcher, WindowMatcher::titleContains("here"));
}

TEST_F(CaptureTest, AnUnreadableWindowListPutsEveryWindowOnAnotherSpace) {
    addDisplays();
    addApp("com.example.a", "A", {window("here", Rect(100, 100, 300, 300))});
    sim->simWindowServer().unavailable = true;
    const Layout all = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(all.items.size(), 1u);
    EXPECT_EQ(all.items[0].capturedSpaceLabel, "Other Space");
    EXPECT_TRUE(LayoutCapture::captureCurrent("k", std::nullopt, true).items.empty());
}

TEST_F(CaptureTest, AWindowTheWindowServerDoesNotShowIsOnAnotherSpace) {
    addDisplays();
    SimWindow orderedOut = window("ordered out", Rect(500, 100, 300, 300));
    orderedOut.onScreen = false;
    addApp("com.example.a", "A", {window("here", Rect(100.5, 100.4, 300, 300)), orderedOut});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    EXPECT_EQ(itemTitled(layout, "here")->capturedSpaceLabel, "This Space");
    EXPECT_EQ(itemTitled(layout, "ordered out")->capturedSpaceLabel, "Other Space");
}

TEST_F(CaptureTest, RestrictionToOneDisplay) {
    addDisplays();
    addApp("com.example.a", "A",
           {window("x", Rect(100, 100, 300, 300)), window("x", Rect(1600, 100, 300, 300)),
            window("x", Rect(5000, 100, 300, 300))});
    const Layout main = LayoutCapture::captureCurrent("k", mainUUID(), false);
    ASSERT_EQ(main.items.size(), 1u);
    EXPECT_EQ(main.items[0].targetFrame.displayUUID, mainUUID());
    // The windows on the other display and off every display are no peers.
    EXPECT_EQ(main.items[0].windowMatcher, WindowMatcher::firstWindow());

    const Layout side = LayoutCapture::captureCurrent("k", sideUUID(), false);
    ASSERT_EQ(side.items.size(), 1u);
    EXPECT_EQ(side.items[0].targetFrame.displayUUID, sideUUID());

    EXPECT_EQ(LayoutCapture::captureCurrent("k", std::nullopt, false).items.size(), 2u);
    EXPECT_TRUE(LayoutCapture::captureCurrent("k", uuidOf(3), false)
                    .items.empty());
}

TEST_F(CaptureTest, OwnWindowsAreNeverCaptured) {
    addDisplays();
    addApp(std::string(LayoutCapture::builtInBundleID), "kestr", {window("Manage Kests", Rect(100, 100, 600, 400))});
    addApp("com.example.a", "A", {window("other", Rect(800, 100, 300, 300))});
    EXPECT_EQ(titles(LayoutCapture::captureCurrent("k", std::nullopt, false)), std::vector<std::string>{"other"});
}

TEST_F(CaptureTest, FinderContentWithin24Points) {
    addDisplays();
    addApp("com.apple.finder", "Finder",
           {window("Documents", Rect(100, 100, 800, 500)), window("Music", Rect(100, 620, 800, 250)),
            window("Empty", Rect(950, 100, 400, 300))});
    // Documents lies 20 points from its entry (12, 16), Music 30 points (18, 24).
    scriptOutput["com.apple.finder"] =
        "112,116,912,616\t200\t/Users/a/Documents/\n"
        "118,644,918,894\t180\t/Users/a/Music/\n"
        "950,100,1350,400\t150\t\n";
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 3u);
    EXPECT_EQ(scriptsSentTo("com.apple.finder"), 1);

    const LayoutItem* docs = itemTitled(layout, "Documents");
    EXPECT_EQ(docs->finderPath, "/Users/a/Documents/");
    EXPECT_EQ(docs->finderSidebarWidth, 200);
    const LayoutItem* music = itemTitled(layout, "Music");
    EXPECT_FALSE(music->finderPath);
    EXPECT_FALSE(music->finderSidebarWidth);
    const LayoutItem* empty = itemTitled(layout, "Empty");
    EXPECT_FALSE(empty->finderPath);
    EXPECT_EQ(empty->finderSidebarWidth, 150);
}

TEST_F(CaptureTest, FinderScriptRunsOnlyForFinderWindowsAndItsFailureLeavesNoContent) {
    addDisplays();
    addApp("com.example.a", "A", {window("a", Rect(100, 100, 800, 500))});
    LayoutCapture::captureCurrent("k", std::nullopt, false);
    EXPECT_TRUE(sim->simScriptHost().sources().empty());

    addApp("com.apple.finder", "Finder", {window("Documents", Rect(100, 100, 800, 500))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    EXPECT_EQ(scriptsSentTo("com.apple.finder"), 1);
    EXPECT_FALSE(itemTitled(layout, "Documents")->finderPath);
    EXPECT_FALSE(itemTitled(layout, "Documents")->finderSidebarWidth);
}

TEST_F(CaptureTest, ChromeTabsAndAnEntryWithoutTabs) {
    addDisplays();
    addApp("com.google.Chrome", "Google Chrome",
           {window("News", Rect(100, 100, 800, 600)), window("Blank", Rect(950, 100, 400, 600))});
    scriptOutput["com.google.Chrome"] =
        "100,100,900,700\t2\thttps://a.example/\x1fhttps://b.example/\x1fhttps://c.example/\n"
        "950,100,1350,700\t1\t\n";
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    const LayoutItem* news = itemTitled(layout, "News");
    EXPECT_EQ(news->browserTabs,
              (std::vector<std::string>{"https://a.example/", "https://b.example/", "https://c.example/"}));
    EXPECT_EQ(news->browserActiveTabIndex, 1);
    EXPECT_EQ(news->browserURL, "https://b.example/");
    const LayoutItem* blank = itemTitled(layout, "Blank");
    EXPECT_FALSE(blank->browserTabs);
    EXPECT_FALSE(blank->browserActiveTabIndex);
    EXPECT_FALSE(blank->browserURL);
    EXPECT_EQ(scriptsSentTo("com.google.Chrome"), 1);
    EXPECT_EQ(scriptsSentTo("com.google.Chrome.canary"), 0);
}

TEST_F(CaptureTest, ChromeAndCanaryAreEachReadForTheirOwnWindows) {
    addDisplays();
    addApp("com.google.Chrome", "Google Chrome", {window("Stable", Rect(100, 100, 800, 600))});
    addApp("com.google.Chrome.canary", "Google Chrome Canary", {window("Canary", Rect(100, 100, 800, 600))});
    scriptOutput["com.google.Chrome"] = "100,100,900,700\t1\thttps://stable.example/\n";
    scriptOutput["com.google.Chrome.canary"] = "100,100,900,700\t1\thttps://canary.example/\n";
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    EXPECT_EQ(scriptsSentTo("com.google.Chrome"), 1);
    EXPECT_EQ(scriptsSentTo("com.google.Chrome.canary"), 1);
    EXPECT_EQ(itemTitled(layout, "Stable")->browserURL, "https://stable.example/");
    EXPECT_EQ(itemTitled(layout, "Canary")->browserURL, "https://canary.example/");
    EXPECT_EQ(itemTitled(layout, "Canary")->browserTabs, std::vector<std::string>{"https://canary.example/"});
}

TEST_F(CaptureTest, CanaryAloneIsAskedItself) {
    addDisplays();
    addApp("com.google.Chrome.canary", "Google Chrome Canary", {window("Canary", Rect(100, 100, 800, 600))});
    scriptOutput["com.google.Chrome.canary"] = "100,100,900,700\t1\thttps://canary.example/\n";
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    EXPECT_EQ(scriptsSentTo("com.google.Chrome"), 0);
    EXPECT_EQ(itemTitled(layout, "Canary")->browserURL, "https://canary.example/");
}

class GhosttyCaptureTest : public CaptureTest {
protected:
    // A Ghostty window split into two panes side by side.
    static SimWindow splitWindow(const std::string& title, Rect frame) {
        SimWindow w = window(title, frame);
        SimElement left, right;
        left.role = right.role = "AXScrollArea";
        left.position = frame.origin;
        right.position = Point{frame.x() + frame.width() / 2, frame.y()};
        left.size = right.size = Size{frame.width() / 2, frame.height()};
        w.children = {left, right};
        return w;
    }
    void SetUp() override {
        CaptureTest::SetUp();
        addDisplays();
        scriptOutput["com.mitchellh.ghostty"] = "/Users/a/src\n/Users/a/it's\n";
    }
};

TEST_F(GhosttyCaptureTest, OneWindowGetsItsPanes) {
    addApp("com.mitchellh.ghostty", "Ghostty", {splitWindow("zsh", Rect(100, 100, 1200, 700))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 1u);
    EXPECT_EQ(layout.items[0].terminalSplitMode, "columns");
    EXPECT_EQ(layout.items[0].terminalTabs, (std::vector<std::string>{"cd '/Users/a/src'", "cd '/Users/a/it'\\''s'"}));
}

TEST_F(GhosttyCaptureTest, TwoWindowsGetNoPanes) {
    addApp("com.mitchellh.ghostty", "Ghostty",
           {splitWindow("one", Rect(100, 100, 600, 700)), splitWindow("two", Rect(750, 100, 600, 700))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 2u);
    for (const LayoutItem& item : layout.items) {
        EXPECT_FALSE(item.terminalSplitMode);
        EXPECT_FALSE(item.terminalTabs);
    }
    EXPECT_EQ(scriptsSentTo("com.mitchellh.ghostty"), 0);
}

TEST_F(GhosttyCaptureTest, PanesAreNotReadWhenTheProcessHasWindowsThatAreNotKept) {
    // One window on each display; capturing the main display keeps one, but the pane
    // script would answer for whichever window is in front.
    addApp("com.mitchellh.ghostty", "Ghostty",
           {splitWindow("side", Rect(1600, 100, 1200, 700)), splitWindow("main", Rect(100, 100, 1200, 700))});
    const Layout layout = LayoutCapture::captureCurrent("k", mainUUID(), false);
    ASSERT_EQ(titles(layout), std::vector<std::string>{"main"});
    EXPECT_FALSE(layout.items[0].terminalSplitMode);
    EXPECT_FALSE(layout.items[0].terminalTabs);
    EXPECT_EQ(scriptsSentTo("com.mitchellh.ghostty"), 0);
}

TEST_F(GhosttyCaptureTest, PanesAreNotReadWhenTheProcessHasAWindowThatIsNotListed) {
    SimWindow palette = window("palette", Rect(200, 200, 400, 300));
    palette.role = "AXUnknown";
    addApp("com.mitchellh.ghostty", "Ghostty", {palette, splitWindow("main", Rect(100, 100, 1200, 700))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(titles(layout), std::vector<std::string>{"main"});
    EXPECT_FALSE(layout.items[0].terminalTabs);
    EXPECT_EQ(scriptsSentTo("com.mitchellh.ghostty"), 0);
}

TEST_F(CaptureTest, TouchingWindowsAreSnappedOntoOneEdge) {
    addDisplays();
    addApp("com.example.left", "Left", {window("left", Rect(0, 25, 800, 600))});
    addApp("com.example.right", "Right", {window("right", Rect(803, 25, 637, 600))});
    addApp("com.example.far", "Far", {window("far", Rect(0, 700, 700, 200))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    ASSERT_EQ(layout.items.size(), 3u);
    const LayoutItem* left = itemTitled(layout, "left");
    const LayoutItem* right = itemTitled(layout, "right");
    EXPECT_EQ(left->targetFrame.width, 801.5);
    EXPECT_EQ(right->targetFrame.x, 801.5);
    EXPECT_EQ(right->targetFrame.x + right->targetFrame.width, 1440);
    for (const LayoutItem& item : layout.items) EXPECT_EQ(item.capturedFrame, item.targetFrame);

    ASSERT_EQ(layout.edgeGroups.size(), 1u);
    const EdgeGroup& group = layout.edgeGroups[0];
    EXPECT_EQ(group.axis, Axis::vertical);
    EXPECT_EQ(group.displayUUID, mainUUID());
    EXPECT_EQ(group.coordinate, 801.5);
    ASSERT_EQ(group.leftOrTopItems.size(), 1u);
    ASSERT_EQ(group.rightOrBottomItems.size(), 1u);
    EXPECT_EQ(group.leftOrTopItems[0].itemID, left->id);
    EXPECT_EQ(group.rightOrBottomItems[0].itemID, right->id);
}

TEST_F(CaptureTest, ItemsAreOrderedByApplicationDisplayTopAndLeft) {
    addDisplays();
    addApp("com.example.zed", "Zed", {window("zed", Rect(0, 100, 300, 300))});
    addApp("com.example.alpha", "Alpha",
           {window("side", Rect(1500, 50, 300, 300)), window("low", Rect(0, 500, 300, 300)),
            window("top right", Rect(700, 100, 300, 300)), window("top left", Rect(300, 100, 300, 300))});
    addApp("com.example.alpha2", "Alpha", {window("other alpha", Rect(100, 300, 300, 150))});
    const Layout layout = LayoutCapture::captureCurrent("k", std::nullopt, false);
    // mainUUID() sorts before sideUUID().
    EXPECT_EQ(titles(layout),
              (std::vector<std::string>{"top left", "top right", "other alpha", "low", "side", "zed"}));
}

}  // namespace
}  // namespace kestr::test
