#include "Platform/AXAttributes.h"
#include "Window/WindowController.h"

#include <gtest/gtest.h>

#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

class WindowControllerTest : public DesktopTest {
protected:
    SimAccessibility& ax() { return sim->simAccessibility(); }
    const std::vector<std::string>& logLines() { return sim->simLog().lines(); }
};

// Slivers, sheets and other processes are left out; a window of unknown size is kept.
TEST_F(WindowControllerTest, ListsOnlyUsableWindowsProcessByProcess) {
    SimWindow sheet = window("sheet", Rect(0, 0, 600, 400));
    sheet.role = "AXSheet";
    SimWindow noSize = window("no size", Rect(0, 0, 1, 1));
    noSize.unreadable.insert(ax::size);
    SimProcess& first = addApp("com.example.Term", "Term",
                               {window("sliver", Rect(0, 0, 4.9, 300)), window("a", Rect(0, 0, 5, 5)), sheet, noSize});
    addApp("com.example.Other", "Other", {window("o", Rect(0, 0, 500, 400))});
    SimProcess& second = addApp("com.example.Term", "Term", {window("b", Rect(0, 0, 500, 400))});
    const auto a = elementsOf(first);
    EXPECT_EQ(WindowController::windows("com.example.Term"), (AXElementList{a[1], a[3], elementsOf(second)[0]}));
}

// Within a scope a role is read once per window, unless the read failed; after the
// last scope ends everything is read afresh.
TEST_F(WindowControllerTest, ReadScopesRememberRolesAndTitlesOnlyWhileTheyLive) {
    SimWindow roleless = window("roleless", Rect(0, 0, 500, 400));
    roleless.unreadable.insert(ax::role);
    const auto w = elementsOf(addApp("com.example.Term", "Term", {window("a", Rect(0, 0, 500, 400)), roleless}));
    const auto windowReadsOfListing = [&] {
        ax().resetCounts();
        WindowController::windows("com.example.Term");
        return ax().reads(SimElementKind::window);
    };
    {
        const WindowController::ReadScope outer;
        EXPECT_EQ(windowReadsOfListing(), 4u);  // size and role of each
        const WindowController::ReadScope overlapping;
        EXPECT_EQ(windowReadsOfListing(), 3u);  // sizes, and the role that could not be read
    }
    EXPECT_EQ(windowReadsOfListing(), 4u);

    {
        const WindowController::TitleScope titles;
        EXPECT_EQ(WindowController::title(w[0]), "a");
        simWindow(w[0]).title = "b";
        EXPECT_EQ(WindowController::title(w[0]), "a");
    }
    EXPECT_EQ(WindowController::title(w[0]), "b");
}

class ApplyFrameTest : public WindowControllerTest {
protected:
    void SetUp() override {
        WindowControllerTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900));
        SimProcess& p = addApp("com.example.Term", "Term", {window("shell", Rect(100, 100, 400, 300))});
        pid = p.pid;
        win = elementsOf(p)[0];
    }

    void start(Point position, Size size) {
        ax().resetCounts();
        handle = spawn(WindowController::applyFrame(win, position, size));
        sim->virtualTime().runPending();
    }

    std::uint64_t windowWrites() { return ax().writes(SimElementKind::window); }

    std::int32_t pid = 0;
    AXElement win;
    TaskHandle handle;
};

// The enhanced interface is switched off first and never set back.
TEST_F(ApplyFrameTest, AHonouredOrUnreadableSizeEndsAfterOneCheck) {
    SimProcess& process = *sim->world().process(pid);
    process.enhancedUserInterface = true;
    // Within the 2-point tolerance counts as honoured.
    simWindow(win).minimumSize = Size{801.5, 600};
    start(Point{20, 30}, Size{800, 600});
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(simWindow(win).frame(), Rect(20, 30, 801.5, 600));
    EXPECT_EQ(windowWrites(), 4u);
    EXPECT_EQ(process.enhancedUserInterface, false);
    EXPECT_EQ(ax().writes(SimElementKind::application), 1u);

    simWindow(win).unreadable.insert(ax::size);
    simWindow(win).sizeRule.cell = Size{640, 480};
    start(Point{40, 30}, Size{800, 600});
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(ax().writes(SimElementKind::application), 0u);
    EXPECT_TRUE(logLines().empty());
    EXPECT_FALSE(sim->mainActor().hasPendingWork());
}

// Turned off within a scope, the enhanced interface is not read again there; turned on
// again later (by an assistive application), the next apply turns it off again.
TEST_F(ApplyFrameTest, ATurnedOffEnhancedInterfaceIsReadAgainOnlyAfterTheScope) {
    SimProcess& process = *sim->world().process(pid);
    process.enhancedUserInterface = true;
    {
        const WindowController::ReadScope reads;
        start(Point{20, 30}, Size{400, 300});
        EXPECT_EQ(ax().reads(SimElementKind::application), 1u);
        EXPECT_EQ(ax().writes(SimElementKind::application), 1u);
        start(Point{40, 30}, Size{400, 300});
        EXPECT_EQ(ax().reads(SimElementKind::application), 0u);
    }
    process.enhancedUserInterface = true;
    start(Point{60, 30}, Size{400, 300});
    EXPECT_EQ(ax().writes(SimElementKind::application), 1u);
    EXPECT_EQ(process.enhancedUserInterface, false);
}

TEST_F(ApplyFrameTest, ASizeNotHonouredIsLoggedAndWrittenOnceMoreAfterSixtyMilliseconds) {
    simWindow(win).sizeRule.cell = Size{640.6, 480.9};
    start(Point{20, 30}, Size{800.9, 600.7});
    // Sizes are logged as truncated whole numbers.
    ASSERT_EQ(
        logLines(),
        (std::vector<std::string>{"kestr[applyFrame]: size not honored (asked 800x600, got 640x480) \u2014 retry"}));
    EXPECT_EQ(windowWrites(), 4u);

    // The window has been moved by hand meanwhile; the retry puts it back.
    simWindow(win).position = Point{500, 500};
    sim->virtualTime().advance(0.059);
    EXPECT_EQ(windowWrites(), 4u);
    sim->virtualTime().advance(0.001);
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(windowWrites(), 6u);
    EXPECT_EQ(simWindow(win).position, (Point{20, 30}));
    EXPECT_EQ(logLines().size(), 1u);

    // Cancelling the wait does not skip the retry.
    start(Point{40, 30}, Size{800, 600});
    simWindow(win).position = Point{500, 500};
    handle.cancel();
    sim->virtualTime().runPending();
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(simWindow(win).position, (Point{40, 30}));
}

}  // namespace
}  // namespace kestr::test
