#include <gtest/gtest.h>

#include "Window/WindowController.h"
#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

class WindowFinderTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900));
        addDisplay(2, Rect(1440, 0, 1920, 1080));
    }

    // One application with the given windows; their elements in order.
    AXElementList windows(std::vector<SimWindow> list) {
        return elementsOf(addApp("com.example.Mail" + std::to_string(apps++), "Mail", std::move(list)));
    }

    // findWindow with the arguments most cases leave at their plain values.
    struct Find {
        WindowMatcher matcher = WindowMatcher::firstWindow();
        AXElementList excluding;
        bool fallbackToFirst = false;
        std::optional<ScreenFrame> preferNear;
        std::optional<std::string> preferTitle;
        bool titleStable = false;
        bool reuseDrifted = false;
        std::vector<std::string> avoidTitles;
        std::optional<DisplayID> restrictToDisplay;
    };
    static std::optional<AXElement> find(const AXElementList& among, const Find& f) {
        return WindowController::findWindow(among, f.matcher, f.excluding, f.fallbackToFirst, f.preferNear,
                                            f.preferTitle, f.titleStable, f.reuseDrifted, f.avoidTitles,
                                            f.restrictToDisplay);
    }

    int apps = 0;
};

TEST_F(WindowFinderTest, MatchersAdmitWindowsByTitleAndPosition) {
    SimWindow noTitle = window("hidden", Rect(0, 0, 400, 300));
    noTitle.unreadable.insert("AXTitle");
    const auto w = windows({window("Inbox (3)", Rect(0, 0, 400, 300)), window("inbox archive", Rect(0, 0, 400, 300)),
                            window("Caf\u00e9 menu", Rect(0, 0, 400, 300)), noTitle,
                            window("Project 42", Rect(0, 0, 400, 300))});
    const auto admitted = [&](WindowMatcher m) { return WindowController::candidateWindows(m, w); };

    EXPECT_EQ(admitted(WindowMatcher::titleContains("Inbox")), (AXElementList{w[0]}));
    EXPECT_EQ(admitted(WindowMatcher::titleContains("Cafe\u0301")), (AXElementList{w[2]}));
    EXPECT_EQ(admitted(WindowMatcher::titleContains("")), AXElementList{});
    EXPECT_EQ(admitted(WindowMatcher::titleRegex("[Ii]nbox")), (AXElementList{w[0], w[1]}));
    EXPECT_EQ(admitted(WindowMatcher::titleRegex("\\d+$")), (AXElementList{w[4]}));
    EXPECT_EQ(admitted(WindowMatcher::titleRegex(".*")), (AXElementList{w[0], w[1], w[2], w[4]}));
    EXPECT_EQ(admitted(WindowMatcher::titleRegex("(")), AXElementList{});
    EXPECT_EQ(admitted(WindowMatcher::windowIndex(3)), (AXElementList{w[3]}));
    EXPECT_EQ(admitted(WindowMatcher::windowIndex(5)), AXElementList{});
    EXPECT_EQ(admitted(WindowMatcher::windowIndex(-1)), AXElementList{});
    EXPECT_EQ(admitted(WindowMatcher::firstWindow()), w);
}

TEST_F(WindowFinderTest, PickBestPrefersTheTargetDisplayThenTheNearestCorner) {
    // The saved corner is at global (2440, 100) on display 2.
    const ScreenFrame saved = frameOn(2, 1000, 100, 800, 600);
    const auto w = windows({window("beside, other display", Rect(1400, 100, 30, 30)),
                            window("far, target display", Rect(3200, 900, 200, 100)),
                            window("farther, target display", Rect(1440, 1000, 200, 80))});
    EXPECT_EQ(WindowController::pickBest(w, saved), w[1]);
    EXPECT_EQ(WindowController::pickBest({}, saved), std::nullopt);
    EXPECT_EQ(WindowController::pickBest(w, std::nullopt), w[0]);
    EXPECT_EQ(WindowController::pickBest(w, frameOn(9, 1000, 100, 800, 600)), w[0]);
    EXPECT_EQ(WindowController::pickBest({w[2]}, saved), w[2]);

    // Equal distance on the same display: the first listed.
    const auto tie = windows({window("left", Rect(2340, 100, 50, 50)), window("right", Rect(2540, 100, 50, 50))});
    EXPECT_EQ(WindowController::pickBest(tie, saved), tie[0]);
    EXPECT_EQ(WindowController::pickBest({tie[1], tie[0]}, saved), tie[1]);
}

TEST_F(WindowFinderTest, PickBestTakesAnUnreadablePositionOnlyWhenNoneCanBeRead) {
    SimWindow lost1 = window("lost 1", Rect(2440, 100, 50, 50));
    lost1.unreadable.insert("AXPosition");
    SimWindow lost2 = lost1;
    lost2.title = "lost 2";
    const auto w = windows({lost1, lost2, window("elsewhere", Rect(-5000, 0, 50, 50))});
    const ScreenFrame saved = frameOn(2, 1000, 100, 800, 600);
    EXPECT_EQ(WindowController::pickBest(w, saved), w[2]);
    EXPECT_EQ(WindowController::pickBest({w[0], w[1]}, saved), w[0]);
}

TEST_F(WindowFinderTest, SlotNeedsAnOverlapOfAtLeastHalfTheUnion) {
    SimWindow noSize = window("no size", Rect(0, 0, 100, 200));
    noSize.unreadable.insert("AXSize");
    const auto w = windows({noSize, window("square", Rect(0, 0, 100, 100)), window("twin", Rect(0, 0, 100, 100))});
    const AXElementList square{w[1]};

    EXPECT_EQ(WindowController::candidateOccupyingSlot(square, frameOn(1, 50, 0, 100, 100)), std::nullopt);
    EXPECT_EQ(WindowController::candidateOccupyingSlot(square, frameOn(1, 0, 0, 100, 200)), w[1]);
    // Equal ratios keep the first; an unreadable frame overlaps nothing.
    EXPECT_EQ(WindowController::candidateOccupyingSlot(w, frameOn(1, 0, 0, 100, 200)), w[1]);
    EXPECT_EQ(WindowController::candidateOccupyingSlot({w[0]}, frameOn(1, 0, 0, 100, 200)), std::nullopt);
    EXPECT_EQ(WindowController::candidateOccupyingSlot(square, frameOn(1, 0, 0, 1, 100)), std::nullopt);
    EXPECT_EQ(WindowController::candidateOccupyingSlot(square, frameOn(9, 0, 0, 100, 100)), std::nullopt);
    EXPECT_EQ(WindowController::candidateOccupyingSlot({}, frameOn(1, 0, 0, 100, 100)), std::nullopt);

    // Slots are display-local.
    const auto onSecond = windows({window("right", Rect(1450, 10, 300, 300))});
    EXPECT_EQ(WindowController::candidateOccupyingSlot(onSecond, frameOn(2, 10, 10, 300, 300)), onSecond[0]);
    EXPECT_EQ(WindowController::candidateOccupyingSlot(onSecond, frameOn(1, 10, 10, 300, 300)), std::nullopt);
}

TEST_F(WindowFinderTest, IndexBeyondTheWindowsFallsBackOnlyWhenAsked) {
    const auto w = windows({window("one", Rect(900, 500, 400, 300)), window("two", Rect(110, 90, 400, 300))});
    Find f;
    f.matcher = WindowMatcher::windowIndex(2);
    f.preferNear = frameOn(1, 100, 100, 400, 300);
    EXPECT_EQ(find(w, f), std::nullopt);
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), w[1]);

    // Windows given to other items are out of reach, even for the fallback.
    f.excluding = w;
    EXPECT_EQ(find(w, f), std::nullopt);
    f.excluding = {w[1]};
    EXPECT_EQ(find(w, f), w[0]);
}

// Two windows with the same title are captured as indexes 0 and 1; once the first item
// took its window, the second must still find the other one rather than nothing.
TEST_F(WindowFinderTest, IndexCountsInTheWholeWindowListNotWhatOthersLeft) {
    const auto w = windows({window("Viewer", Rect(0, 0, 400, 300)), window("Viewer", Rect(0, 400, 400, 300))});
    Find f;
    f.matcher = WindowMatcher::windowIndex(1);
    f.excluding = {w[0]};
    EXPECT_EQ(find(w, f), w[1]);
    f.matcher = WindowMatcher::windowIndex(0);
    EXPECT_EQ(find(w, f), std::nullopt) << "the indexed window was taken";
    f.matcher = WindowMatcher::windowIndex(1);
    f.restrictToDisplay = 2;
    EXPECT_EQ(find(w, f), std::nullopt) << "the indexed window is not on the display";
}

TEST_F(WindowFinderTest, SavedTitlePicksAmongFirstWindowCandidates) {
    const auto w = windows({window("Notes", Rect(100, 100, 400, 300)), window("Inbox (3)", Rect(900, 500, 400, 300))});
    Find f;
    f.preferTitle = "Inbox";
    f.preferNear = frameOn(1, 100, 100, 400, 300);
    EXPECT_EQ(find(w, f), w[1]);

    // Other matchers and an empty saved title ignore it.
    f.matcher = WindowMatcher::titleRegex("o");
    EXPECT_EQ(find(w, f), w[0]);
    f.matcher = WindowMatcher::firstWindow();
    f.preferTitle = "";
    f.titleStable = true;
    EXPECT_EQ(find(w, f), w[0]);
}

TEST_F(WindowFinderTest, DriftedTitleWithSeveralCandidatesNeedsTheSlot) {
    const auto w = windows({window("Notes", Rect(100, 100, 400, 300)), window("Sent", Rect(900, 500, 400, 300))});
    Find f;
    f.preferTitle = "Inbox";
    EXPECT_EQ(find(w, f), std::nullopt);  // no saved frame
    f.preferNear = frameOn(1, 900, 500, 400, 300);
    EXPECT_EQ(find(w, f), w[1]);
    f.preferNear = frameOn(1, 100, 500, 300, 300);
    EXPECT_EQ(find(w, f), std::nullopt);

    // With the fallback the nearest window is taken instead.
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), w[0]);
}

TEST_F(WindowFinderTest, DriftedTitleWithOneCandidateDependsOnTitleStability) {
    const auto w = windows({window("Notes", Rect(100, 100, 400, 300))});
    Find f;
    f.preferTitle = "Inbox";
    f.preferNear = frameOn(1, 800, 400, 400, 300);
    EXPECT_EQ(find(w, f), w[0]);
    f.titleStable = true;
    EXPECT_EQ(find(w, f), std::nullopt);
    f.preferNear = frameOn(1, 120, 100, 400, 300);
    EXPECT_EQ(find(w, f), w[0]);
}

TEST_F(WindowFinderTest, ReusingDriftedWindowsAvoidsOtherItemsTitles) {
    const auto w = windows({window("Sent (2)", Rect(100, 100, 400, 300)), window("Notes", Rect(900, 500, 400, 300))});
    Find f;
    f.preferTitle = "Inbox";
    f.reuseDrifted = true;
    f.titleStable = true;
    f.avoidTitles = {"Sent"};
    f.preferNear = frameOn(1, 100, 100, 400, 300);
    EXPECT_EQ(find(w, f), w[1]);

    f.avoidTitles = {"Sent", "Notes"};
    EXPECT_EQ(find(w, f), std::nullopt);
    f.avoidTitles = {};
    EXPECT_EQ(find(w, f), w[0]);
    // With the fallback nothing is avoided.
    f.avoidTitles = {"Sent"};
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), w[0]);
}

TEST_F(WindowFinderTest, DisplayRestrictionKeepsOnlyWindowsKnownToBeOnIt) {
    SimWindow lost = window("lost", Rect(1500, 100, 400, 300));
    lost.unreadable.insert("AXPosition");
    const auto w = windows({window("left", Rect(100, 100, 400, 300)), lost, window("right", Rect(2000, 100, 400, 300))});
    Find f;
    f.restrictToDisplay = 2;
    EXPECT_EQ(find(w, f), w[2]);
    f.restrictToDisplay = 1;
    f.excluding = {w[0]};
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), std::nullopt);
    f.excluding = {};
    f.restrictToDisplay = 7;
    EXPECT_EQ(find(w, f), std::nullopt);
}

TEST_F(WindowFinderTest, UnmatchedMatcherFallsBackToTheNearestWindowOfThePool) {
    const auto w = windows({window("one", Rect(900, 500, 400, 300)), window("two", Rect(110, 90, 400, 300))});
    Find f;
    f.matcher = WindowMatcher::titleContains("three");
    f.preferNear = frameOn(1, 100, 100, 400, 300);
    EXPECT_EQ(find(w, f), std::nullopt);
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), w[1]);
    f.matcher = WindowMatcher::titleContains("one");
    EXPECT_EQ(find(w, f), w[0]);
}

}  // namespace
}  // namespace kestr::test
