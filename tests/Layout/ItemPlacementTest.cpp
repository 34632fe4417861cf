// How one item finds its window in each apply mode.

#include <gtest/gtest.h>

#include <map>

#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

class ItemPlacementTest : public test::ApplyFixture {};

TEST_F(ItemPlacementTest, SavedTabsGoOnlyIntoAMatchedWindowWhenRestoring) {
    install("com.google.Chrome", "Chrome");
    const AXElement window = addWindow(run("com.google.Chrome"), "Inbox - Google Chrome", Rect(100, 100, 600, 400));
    LayoutItem chrome = item("com.google.Chrome", "Chrome", leftHalf);
    chrome.capturedWindowTitle = "Inbox";
    chrome.browserTabs = std::vector<std::string>{"https://mail.example.com", "https://news.example.com"};
    const auto& sources = sim->simScriptHost().sources();

    applyToEnd(kest({chrome}), ApplyMode::reuseExisting);
    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_TRUE(sources.empty());

    applyToEnd(kest({chrome}), ApplyMode::restoreMissing, leftID);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_NE(sources[0].find("if \"Inbox - Google Chrome\" contains (title of w)"), std::string::npos);
    EXPECT_NE(sources[0].find("{\"https://mail.example.com\", \"https://news.example.com\"}"), std::string::npos);
}

TEST_F(ItemPlacementTest, DriftingTitleMatcherSearchesAsFirstWindow) {
    // A terminal's title follows what runs in it: the saved title no longer shows, yet
    // the open window is reused rather than a fresh one opened.
    install("com.apple.Terminal", "Terminal");
    const AXElement window = addWindow(run("com.apple.Terminal"), "zsh — 80×24", Rect(100, 100, 600, 400));
    install("com.example.Notes", "Notes");
    addWindow(run("com.example.Notes"), "Shopping", Rect(100, 100, 600, 400));
    const Layout layout = kest({
        item("com.apple.Terminal", "Terminal", leftHalf, leftID, WindowMatcher::titleContains("vim")),
        item("com.example.Notes", "Notes", rightHalf, leftID, WindowMatcher::titleContains("Todo")),
    });

    EXPECT_EQ(applyToEnd(layout, ApplyMode::restoreMissing).applied, 2);
    EXPECT_EQ(frameOf(window), leftHalf);
    // A stable title that no window shows means the window is not open: a fresh one is asked for.
    EXPECT_EQ(freshWindowScripts(), std::vector<std::string>{"com.example.Notes"});
}

TEST_F(ItemPlacementTest, ItemsOfADriftingApplicationShareItsWindowsWhenRestoringFromAnAnchor) {
    // The second item's saved title shows in the window nearest the first item's slot.
    // Shared out by title first, the first item gets the other window; searched for in
    // kest order (an edge move, without anchor), it takes the window nearest its slot.
    install("com.apple.Terminal", "Terminal");
    const std::int32_t pid = run("com.apple.Terminal");
    const AXElement zsh = addWindow(pid, "zsh", Rect(1000, 500, 400, 300));
    const AXElement vim = addWindow(pid, "vim notes.txt", Rect(0, 25, 400, 300));
    LayoutItem second = item("com.apple.Terminal", "Terminal", Rect(720, 400, 700, 500));
    second.capturedWindowTitle = "vim";
    const Layout layout = kest({item("com.apple.Terminal", "Terminal", Rect(0, 25, 700, 400)), second});

    applyToEnd(layout, ApplyMode::restoreMissing, leftID);
    EXPECT_EQ(frameOf(zsh), Rect(0, 25, 700, 400));
    EXPECT_EQ(frameOf(vim), Rect(720, 400, 700, 500));

    sim->world().window(zsh)->position = Point{1000, 500};
    sim->world().window(vim)->position = Point{0, 25};
    applyToEnd(layout, ApplyMode::reuseExisting, std::nullopt, FrameSource::target);
    EXPECT_EQ(frameOf(vim), Rect(0, 25, 700, 400));
    EXPECT_EQ(frameOf(zsh), Rect(720, 400, 700, 500));
}

// Terminals named by their titles, three on the left display and one on the right, go
// to their items' slots on both displays whatever display the apply is anchored to; an
// item whose title shows nowhere leaves alone a window that another item names.
TEST_F(ItemPlacementTest, TitleMatchedItemsTakeTheWindowsShowingTheirTitlesOnAnyDisplay) {
    const Rect rightLeftHalf(0, 25, 960, 1055), rightRightHalf(960, 25, 960, 1055);
    const auto onRight = [](Rect r) { return Rect(1440 + r.x(), r.y(), r.width(), r.height()); };
    struct Case {
        std::optional<DisplayID> anchor;
        std::vector<std::string> asked;  // the titles the items ask for: L1, L2, R1, R2 in turn
        std::map<std::string, Rect> landed;
    };
    const std::map<std::string, Rect> everyOwn = {
        {"L1", leftHalf}, {"L2", rightHalf}, {"R1", onRight(rightLeftHalf)}, {"R2", onRight(rightRightHalf)}};
    const Case cases[] = {
        {leftID, {"L1", "L2", "R1", "R2"}, everyOwn},
        {2, {"L1", "L2", "R1", "R2"}, everyOwn},
        {std::nullopt, {"L1", "L2", "R1", "R2"}, everyOwn},
        {2, {"L1", "L2", "R9", "R2"}, {{"L1", leftHalf}, {"L2", rightHalf}, {"R2", onRight(rightRightHalf)}}},
        {leftID, {"L1", "L9", "R1", "R2"}, {{"L1", leftHalf}, {"L2", rightHalf}, {"R1", onRight(rightLeftHalf)}}},
    };
    for (const Case& c : cases) {
        SetUp();
        addRightDisplay();
        install("com.apple.Terminal", "Terminal");
        const std::int32_t pid = run("com.apple.Terminal");
        std::map<std::string, AXElement> windows;
        for (const auto& [title, x] : {std::pair{"L1", 100}, {"L2", 500}, {"R1", 900}, {"R2", 1460}})
            windows[title] = addWindow(pid, title, Rect(x, 100, 400, 300));
        const Rect slots[] = {leftHalf, rightHalf, rightLeftHalf, rightRightHalf};
        std::vector<LayoutItem> items;
        for (std::size_t i = 0; i < 4; ++i)
            items.push_back(item("com.apple.Terminal", "Terminal", slots[i], i < 2 ? leftID : 2,
                                 WindowMatcher::titleContains(c.asked[i])));

        applyToEnd(kest(items), ApplyMode::restoreMissing, c.anchor);
        for (const auto& [title, slot] : c.landed)
            EXPECT_EQ(frameOf(windows[title]), slot) << title << " anchored to " << c.anchor.value_or(0);
        TearDown();
    }
}

TEST_F(ItemPlacementTest, UntitledItemsOfADriftingApplicationTakeTheWindowsNearestTheirSlots) {
    install("com.apple.Terminal", "Terminal");
    const std::int32_t pid = run("com.apple.Terminal");
    const AXElement nearRight = addWindow(pid, "make", Rect(800, 450, 400, 300));
    const AXElement nearLeft = addWindow(pid, "top", Rect(10, 30, 400, 300));
    const Layout layout = kest({item("com.apple.Terminal", "Terminal", Rect(0, 25, 700, 400)),
                                item("com.apple.Terminal", "Terminal", Rect(720, 400, 700, 500))});

    applyToEnd(layout, ApplyMode::restoreMissing, leftID);
    EXPECT_EQ(frameOf(nearLeft), Rect(0, 25, 700, 400));
    EXPECT_EQ(frameOf(nearRight), Rect(720, 400, 700, 500));
}

TEST_F(ItemPlacementTest, WindowOfAnItemWithoutPlacementStaysClaimedAndUnmoved) {
    install("com.example.Notes", "Notes");
    const std::int32_t pid = run("com.example.Notes");
    const AXElement window = addWindow(pid, "Notes", Rect(100, 100, 600, 400));
    sim->world().window(window)->minimized = true;
    const Layout layout =
        kest({item("com.example.Notes", "Notes", Rect(0, 25, 600, 12)), item("com.example.Notes", "Notes", rightHalf)});

    EXPECT_EQ(applyToEnd(layout, ApplyMode::restoreMissing, leftID).skipped.size(), 1u);

    // Brought back, but not moved.
    EXPECT_FALSE(sim->world().window(window)->minimized);
    EXPECT_EQ(frameOf(window), Rect(100, 100, 600, 400));
    // The second item may not take it and gets a fresh window instead.
    ASSERT_EQ(windowsOf(pid).size(), 2u);
    EXPECT_EQ(frameOf(windowsOf(pid)[0]), rightHalf);
}

// The launch that starts an item's application shows the item's URL: opened once more,
// it would start a second instance. A running application is asked to open it.
TEST_F(ItemPlacementTest, AnItemsURLGoesWithTheLaunchOfItsApplicationElseToTheRunningOne) {
    const std::string url = "https://example.com/a";
    for (bool running : {false, true}) {
        SetUp();
        install("com.example.Viewer", "Viewer");
        if (running) addWindow(run("com.example.Viewer"), "Viewer", Rect(100, 100, 600, 400));
        LayoutItem viewer = item("com.example.Viewer", "Viewer", leftHalf);
        viewer.openURL = Url::parse(url);

        EXPECT_EQ(applyToEnd(kest({viewer}), ApplyMode::restoreMissing, leftID).applied, 1);
        const auto& launches = sim->simWorkspace().openRequests();
        ASSERT_EQ(launches.size(), running ? 0u : 1u);
        if (!running) {
            EXPECT_EQ(launches[0].configuration.urls, std::vector<std::string>{url});
        }
        EXPECT_EQ(sim->simWorkspace().openURLsRequests().size(), running ? 1u : 0u);
        TearDown();
    }
}

}  // namespace
}  // namespace kestr
