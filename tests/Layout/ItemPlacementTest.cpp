// How one item finds its window in each apply mode, and what happens to the window
// around the move.

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

using Mode = LayoutApplier::ApplyMode;

class ItemPlacementTest : public test::ApplyFixture {
protected:
    // Scripts that added saved tabs to an open browser window.
    long tabScripts() {
        const auto& sources = sim->simScriptHost().sources();
        return std::count_if(sources.begin(), sources.end(), [](const std::string& s) {
            return s.find("repeat with w in windows") != std::string::npos;
        });
    }
    LayoutItem chromeItem() {
        LayoutItem chrome = item("com.google.Chrome", "Chrome", leftHalf);
        chrome.capturedWindowTitle = "Inbox";
        chrome.browserTabs = std::vector<std::string>{"https://mail.example.com", "https://news.example.com"};
        return chrome;
    }
};

TEST_F(ItemPlacementTest, SavedTabsGoOnlyIntoAMatchedWindowWhenRestoring) {
    install("com.google.Chrome", "Chrome");
    const AXElement window = addWindow(run("com.google.Chrome"), "Inbox - Google Chrome", Rect(100, 100, 600, 400));

    applyToEnd(kest({chromeItem()}), Mode::reuseExisting);
    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_EQ(tabScripts(), 0);

    applyToEnd(kest({chromeItem()}), Mode::restoreMissing, leftID);
    EXPECT_EQ(tabScripts(), 1);
    const std::string& script = sim->simScriptHost().sources().back();
    EXPECT_NE(script.find("if \"Inbox - Google Chrome\" contains (title of w)"), std::string::npos);
    EXPECT_NE(script.find("{\"https://mail.example.com\", \"https://news.example.com\"}"), std::string::npos);
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

    const auto report = applyToEnd(layout, Mode::restoreMissing);

    EXPECT_EQ(frameOf(window), leftHalf);
    // A stable title that no window shows means the window is not open: a fresh one is asked for.
    EXPECT_EQ(freshWindowScripts(), std::vector<std::string>{"com.example.Notes"});
    EXPECT_EQ(report.applied, 2);
}

TEST_F(ItemPlacementTest, HiddenMinimisedFullScreenWindowIsBroughtBackBeforeTheMove) {
    install("com.example.Notes", "Notes");
    const std::int32_t pid = run("com.example.Notes");
    const AXElement window = addWindow(pid, "Notes", Rect(100, 100, 600, 400));
    sim->world().process(pid)->hidden = true;
    sim->world().window(window)->minimized = true;
    sim->world().setFullScreen(*sim->world().window(window), true);

    const auto report = applyToEnd(kest({item("com.example.Notes", "Notes", leftHalf)}), Mode::reuseExisting);

    const SimWindow& w = *sim->world().window(window);
    EXPECT_FALSE(sim->world().process(pid)->hidden);
    EXPECT_FALSE(w.minimized);
    EXPECT_FALSE(w.fullScreen);
    EXPECT_EQ(w.frame(), leftHalf);
    EXPECT_EQ(report.applied, 1);
}

TEST_F(ItemPlacementTest, WindowOfAnItemWithoutPlacementStaysClaimedAndUnmoved) {
    install("com.example.Notes", "Notes");
    const std::int32_t pid = run("com.example.Notes");
    const AXElement window = addWindow(pid, "Notes", Rect(100, 100, 600, 400));
    sim->world().window(window)->minimized = true;
    const Layout layout = kest({
        item("com.example.Notes", "Notes", Rect(0, 25, 600, 12)),
        item("com.example.Notes", "Notes", rightHalf),
    });

    const auto report = applyToEnd(layout, Mode::restoreMissing, leftID);

    EXPECT_FALSE(sim->world().window(window)->minimized);
    EXPECT_EQ(frameOf(window), Rect(100, 100, 600, 400));
    // The second item may not take it and gets a fresh window instead.
    ASSERT_EQ(windowsOf(pid).size(), 2u);
    EXPECT_EQ(frameOf(windowsOf(pid)[0]), rightHalf);
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].reason, "Saved window size is 0 — re-capture needed (Notes)");
}

TEST_F(ItemPlacementTest, FreshWindowThatShowsTooLateFallsBackToTheExistingWindow) {
    install("com.example.Notes", "Notes");
    const AXElement window = addWindow(run("com.example.Notes"), "Notes", Rect(100, 100, 600, 400));
    freshWindowDelay = 4.5;

    applyToEnd(kest({item("com.example.Notes", "Notes", leftHalf)}), Mode::freshWindows);

    EXPECT_EQ(frameOf(window), leftHalf);
    EXPECT_EQ(std::count(lines().begin(), lines().end(),
                         "kestr: new-window failed for com.example.Notes (Asked com.example.Notes for a new window "
                         "but none appeared.); moving an existing window to the target screen"),
              1);
}

TEST_F(ItemPlacementTest, FinderWindowWithAnotherFolderIsReusedOnlyWhenItCoversTheSlot) {
    // Finder titles are the folder shown: a window of another folder is another window,
    // unless it already sits in the item's slot. Other applications reuse their one
    // window whatever its title.
    install("com.apple.finder", "Finder").reopenDelay = std::nullopt;
    const std::int32_t finder = run("com.apple.finder");
    const AXElement downloads = addWindow(finder, "Downloads", Rect(900, 500, 500, 350));
    install("com.example.Notes", "Notes");
    const AXElement notes = addWindow(run("com.example.Notes"), "Shopping", Rect(900, 500, 500, 350));
    LayoutItem documents = item("com.apple.finder", "Finder", leftHalf);
    documents.capturedWindowTitle = "Documents";
    LayoutItem todo = item("com.example.Notes", "Notes", rightHalf);
    todo.capturedWindowTitle = "Todo";

    const auto report = applyToEnd(kest({documents, todo}), Mode::restoreMissing);

    EXPECT_EQ(frameOf(downloads), Rect(900, 500, 500, 350));
    EXPECT_EQ(frameOf(notes), rightHalf);
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].item.appName, "Finder");

    // Moved into the slot beforehand, the same window is taken.
    sim->world().window(downloads)->position = Point{0, 25};
    sim->world().window(downloads)->size = Size{700, 875};
    EXPECT_EQ(applyToEnd(kest({documents}), Mode::restoreMissing).applied, 1);
    EXPECT_EQ(frameOf(downloads), leftHalf);
}

}  // namespace
}  // namespace kestr
