#include <gtest/gtest.h>

#include "Platform/AXAttributes.h"
#include "Window/WindowController.h"
#include "Window/WindowFinder.h"
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

    AXElementList windows(std::vector<SimWindow> list) {
        return elementsOf(addApp("com.example.Mail", "Mail", std::move(list)));
    }

    using Find = WindowFinder::Options;
    static std::optional<AXElement> find(const AXElementList& among, const Find& f,
                                         const WindowMatcher& matcher = WindowMatcher::firstWindow()) {
        return WindowFinder::findWindow(among, matcher, f);
    }
};

TEST_F(WindowFinderTest, MatchersAdmitWindowsByTitleAndPosition) {
    const auto w = windows({window("Inbox (3)", Rect(0, 0, 400, 300)), window("inbox archive", Rect(0, 0, 400, 300)),
                            window("Caf\u00e9 42", Rect(0, 0, 400, 300))});
    const auto admitted = [&](WindowMatcher m) { return WindowFinder::candidateWindows(m, w); };

    EXPECT_EQ(admitted(WindowMatcher::titleContains("Cafe\u0301")), (AXElementList{w[2]}));
    EXPECT_EQ(admitted(WindowMatcher::titleRegex("[Ii]nbox")), (AXElementList{w[0], w[1]}));
    EXPECT_EQ(admitted(WindowMatcher::titleRegex("(")), AXElementList{});
    EXPECT_EQ(admitted(WindowMatcher::windowIndex(2)), (AXElementList{w[2]}));

    // A runaway expression admits nothing and says so once, naming the item.
    const auto runaway = WindowMatcher::titleRegex("(.*)*(.*)*(.*)*X");
    sim->simLog().clear();
    EXPECT_EQ(WindowFinder::candidateWindows(runaway, w, "Mail"), AXElementList{});
    EXPECT_EQ(sim->simLog().lines(), std::vector<std::string>{"kestr: titleRegex of Mail took too long on a window "
                                                              "title: (.*)*(.*)*(.*)*X (counted as no match)"});
}

TEST_F(WindowFinderTest, PickBestPrefersTheTargetDisplayThenTheNearestReadableCorner) {
    // The saved corner is at global (2440, 100) on display 2.
    const ScreenFrame saved = frameOn(2, 1000, 100, 800, 600);
    SimWindow lost = window("lost", Rect(2440, 100, 50, 50));
    lost.unreadable.insert(ax::position);
    const auto w = windows({window("beside, other display", Rect(1400, 100, 30, 30)),
                            window("far, target display", Rect(3200, 900, 200, 100)), lost});
    EXPECT_EQ(WindowFinder::pickBest(w, saved), w[1]);
    EXPECT_EQ(WindowFinder::pickBest({w[2], w[0]}, saved), w[0]);
    EXPECT_EQ(WindowFinder::pickBest({w[2]}, saved), w[2]);
}

TEST_F(WindowFinderTest, UnmatchedMatcherFallsBackToTheNearestWindowNotTaken) {
    const auto w = windows({window("one", Rect(900, 500, 400, 300)), window("two", Rect(110, 90, 400, 300))});
    const WindowMatcher three = WindowMatcher::titleContains("three");
    Find f{.preferNear = frameOn(1, 100, 100, 400, 300)};
    EXPECT_EQ(find(w, f, three), std::nullopt);
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f, three), w[1]);
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(2)), w[1]);
    // Windows given to other items are out of reach, even for the fallback.
    f.excluding = {w[1]};
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(2)), w[0]);
}

// Two windows with the same title are captured as indexes 0 and 1; once the first item
// took its window, the second must still find the other one rather than nothing.
TEST_F(WindowFinderTest, IndexCountsInTheWholeWindowListNotWhatOthersLeft) {
    const auto w = windows({window("Viewer", Rect(0, 0, 400, 300)), window("Viewer", Rect(0, 400, 400, 300))});
    Find f{.excluding = {w[0]}};
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(1)), w[1]);
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(0)), std::nullopt) << "the indexed window was taken";
    f.restrictToDisplay = 2;
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(1)), std::nullopt) << "the indexed window is not on the display";
}

TEST_F(WindowFinderTest, ATitleNamesItsWindowOnAnyDisplayWhileOtherChoicesStayOnTheirs) {
    const auto w = windows({window("Inbox", Rect(100, 100, 400, 300)), window("Notes", Rect(1500, 100, 400, 300))});
    Find f{.preferNear = frameOn(2, 0, 0, 800, 600), .restrictToDisplay = 2};
    EXPECT_EQ(find(w, f, WindowMatcher::titleContains("Inbox")), w[0]);
    EXPECT_EQ(find(w, f, WindowMatcher::titleRegex("^In")), w[0]);
    EXPECT_EQ(find(w, f), w[1]);
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f, WindowMatcher::titleContains("Sent")), w[1]);
    EXPECT_EQ(find(w, f, WindowMatcher::windowIndex(0)), w[1]);
}

TEST_F(WindowFinderTest, SavedTitleWinsAndADriftedOneNeedsTheSlot) {
    const auto w = windows({window("Notes", Rect(100, 100, 400, 300)), window("Inbox (3)", Rect(900, 500, 400, 300))});
    Find f{.preferNear = frameOn(1, 100, 100, 400, 300), .preferTitle = "Inbox"};
    EXPECT_EQ(find(w, f), w[1]);
    // Drifted with several candidates: only the window in the slot, else the nearest with the fallback.
    f.preferTitle = "Sent";
    f.preferNear = frameOn(1, 900, 500, 400, 300);
    EXPECT_EQ(find(w, f), w[1]);
    f.preferNear = frameOn(1, 100, 500, 300, 300);
    EXPECT_EQ(find(w, f), std::nullopt);
    f.fallbackToFirst = true;
    EXPECT_EQ(find(w, f), w[0]);
    // Drifted with one candidate: taken unless the title is stable and the slot differs.
    f = Find{.preferNear = frameOn(1, 800, 400, 400, 300), .preferTitle = "Inbox"};
    EXPECT_EQ(find({w[0]}, f), w[0]);
    f.titleStable = true;
    EXPECT_EQ(find({w[0]}, f), std::nullopt);
}

TEST_F(WindowFinderTest, ReusingDriftedWindowsAvoidsOtherItemsTitles) {
    const auto w = windows({window("Sent (2)", Rect(100, 100, 400, 300)), window("Notes", Rect(900, 500, 400, 300))});
    Find f{.preferNear = frameOn(1, 100, 100, 400, 300),
           .preferTitle = "Inbox",
           .titleStable = true,
           .reuseDrifted = true,
           .avoidTitles = {"Sent"}};
    EXPECT_EQ(find(w, f), w[1]);
    f.avoidTitles = {"Sent", "Notes"};
    EXPECT_EQ(find(w, f), std::nullopt);
}

}  // namespace
}  // namespace kestr::test
