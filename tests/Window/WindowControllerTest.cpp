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

TEST_F(WindowControllerTest, ListsOnlyUsableWindows) {
    SimWindow sliver = window("sliver", Rect(0, 0, 3, 3));
    SimWindow narrow = window("narrow", Rect(0, 0, 4.9, 300));
    SimWindow smallest = window("smallest", Rect(0, 0, 5, 5));
    SimWindow sheet = window("sheet", Rect(0, 0, 600, 400));
    sheet.role = "AXSheet";
    SimWindow noRole = window("no role", Rect(0, 0, 600, 400));
    noRole.unreadable.insert("AXRole");
    SimWindow noSize = window("no size", Rect(0, 0, 1, 1));
    noSize.unreadable.insert("AXSize");
    SimProcess& app = addApp("com.example.Editor", "Editor",
                             {sliver, window("normal", Rect(10, 10, 800, 600)), narrow, smallest, sheet, noRole, noSize});
    const auto all = elementsOf(app);

    EXPECT_EQ(WindowController::axWindows(ax().createApplication(app.pid)),
              (AXElementList{all[1], all[3], all[5], all[6]}));
    // Without the permission nothing is readable.
    sim->world().trusted = false;
    EXPECT_TRUE(WindowController::axWindows(ax().createApplication(app.pid)).empty());
}

TEST_F(WindowControllerTest, WindowsOfABundleGoProcessByProcess) {
    SimProcess& first = addApp("com.example.Term", "Term", {window("a1", Rect(0, 0, 500, 400)),
                                                            window("a2", Rect(0, 0, 500, 400))});
    addApp("com.example.Other", "Other", {window("o", Rect(0, 0, 500, 400))});
    SimProcess& second = addApp("com.example.Term", "Term", {window("b1", Rect(0, 0, 500, 400))});
    const auto a = elementsOf(first);
    const auto b = elementsOf(second);

    EXPECT_EQ(WindowController::pids("com.example.Term"), (std::vector<std::int32_t>{first.pid, second.pid}));
    EXPECT_EQ(WindowController::windows("com.example.Term"), (AXElementList{a[0], a[1], b[0]}));
    EXPECT_TRUE(WindowController::windows("com.example.Missing").empty());

    sim->world().terminate(first.pid);
    EXPECT_EQ(WindowController::windows("com.example.Term"), (AXElementList{b[0]}));
}

TEST_F(WindowControllerTest, TypedReadsFailOnMissingOrMismatchedValues) {
    SimWindow w = window("Notes", Rect(12.5, 40, 640, 480));
    w.subrole.reset();
    const AXElement e = elementsOf(addApp("com.example.Notes", "Notes", {w}))[0];

    EXPECT_EQ(WindowController::readPosition(e), (Point{12.5, 40}));
    EXPECT_EQ(WindowController::readSize(e), (Size{640, 480}));
    EXPECT_EQ(WindowController::axString(e, "AXTitle"), "Notes");
    EXPECT_EQ(WindowController::axBool(e, "AXMinimized"), false);
    EXPECT_EQ(WindowController::axString(e, "AXSubrole"), std::nullopt);
    EXPECT_EQ(WindowController::axString(e, "AXPosition"), std::nullopt);
    EXPECT_EQ(WindowController::axBool(e, "AXTitle"), std::nullopt);

    simWindow(e).unreadable.insert("AXPosition");
    EXPECT_EQ(WindowController::readPosition(e), std::nullopt);
    sim->world().trusted = false;
    EXPECT_EQ(WindowController::readSize(e), std::nullopt);
    EXPECT_EQ(WindowController::axString(e, "AXTitle"), std::nullopt);
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
        handle = spawn(WindowController::applyFrame(win, position, size, 0.25));
        sim->virtualTime().runPending();
    }

    SimProcess& process() { return *sim->world().process(pid); }
    std::uint64_t windowWrites() { return ax().writes(SimElementKind::window); }

    std::int32_t pid = 0;
    AXElement win;
    TaskHandle handle;
};

TEST_F(ApplyFrameTest, AHonouredSizeEndsAfterOneCheck) {
    // Within the 2-point tolerance counts as honoured.
    simWindow(win).minimumSize = Size{801.5, 600};
    start(Point{20, 30}, Size{800, 600});

    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(simWindow(win).frame(), Rect(20, 30, 801.5, 600));
    EXPECT_EQ(windowWrites(), 4u);
    EXPECT_TRUE(logLines().empty());
    EXPECT_FALSE(sim->mainActor().hasPendingWork());
}

TEST_F(ApplyFrameTest, ASizeNotHonouredIsLoggedAndWrittenOnceMoreAfterSixtyMilliseconds) {
    simWindow(win).sizeRule.cell = Size{640, 480};
    start(Point{20, 30}, Size{800, 600});

    ASSERT_EQ(logLines(), (std::vector<std::string>{
                              "kestr[applyFrame]: size not honored (asked 800x600, got 640x480) \u2014 retry"}));
    EXPECT_EQ(windowWrites(), 4u);
    EXPECT_FALSE(handle.isDone());

    // The window has been moved by hand meanwhile; the retry puts it back.
    simWindow(win).position = Point{500, 500};
    sim->virtualTime().advance(0.059);
    EXPECT_EQ(windowWrites(), 4u);
    sim->virtualTime().advance(0.001);
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(windowWrites(), 6u);
    EXPECT_EQ(simWindow(win).position, (Point{20, 30}));
    // No second check, no second line.
    EXPECT_EQ(logLines().size(), 1u);
}

TEST_F(ApplyFrameTest, LoggedSizesAreTruncatedWholeNumbers) {
    simWindow(win).sizeRule.cell = Size{640.6, 480.9};
    start(Point{0, 0}, Size{800.9, 600.7});
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_EQ(logLines()[0], "kestr[applyFrame]: size not honored (asked 800x600, got 640x480) \u2014 retry");
}

TEST_F(ApplyFrameTest, CancellingTheWaitDoesNotSkipTheRetry) {
    simWindow(win).sizeRule.cell = Size{640, 480};
    start(Point{20, 30}, Size{800, 600});
    simWindow(win).position = Point{500, 500};

    handle.cancel();
    sim->virtualTime().runPending();
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(windowWrites(), 6u);
    EXPECT_EQ(simWindow(win).position, (Point{20, 30}));
}

TEST_F(ApplyFrameTest, AnUnreadableSizeEndsTheOperationSilently) {
    simWindow(win).unreadable.insert("AXSize");
    simWindow(win).sizeRule.cell = Size{640, 480};
    start(Point{20, 30}, Size{800, 600});
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(windowWrites(), 4u);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(ApplyFrameTest, EnhancedInterfaceIsSwitchedOffAndLeftOff) {
    process().enhancedUserInterface = true;
    start(Point{20, 30}, Size{800, 600});
    EXPECT_EQ(process().enhancedUserInterface, false);
    EXPECT_EQ(ax().writes(SimElementKind::application), 1u);

    // Already off: read, not written again, and never set back.
    start(Point{40, 30}, Size{800, 600});
    EXPECT_EQ(process().enhancedUserInterface, false);
    EXPECT_EQ(ax().writes(SimElementKind::application), 0u);

    // An application without the attribute is left alone.
    process().enhancedUserInterface.reset();
    start(Point{60, 30}, Size{800, 600});
    EXPECT_EQ(ax().writes(SimElementKind::application), 0u);
    EXPECT_EQ(simWindow(win).frame(), Rect(60, 30, 800, 600));
}

TEST_F(ApplyFrameTest, WithoutPermissionItWritesInVainAndEnds) {
    sim->world().trusted = false;
    start(Point{20, 30}, Size{800, 600});
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(simWindow(win).frame(), Rect(100, 100, 400, 300));
    EXPECT_TRUE(logLines().empty());
}

TEST_F(WindowControllerTest, ExitFullScreenOnlyTouchesFullScreenWindows) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    SimProcess& p = addApp("com.example.Video", "Video", {window("film", Rect(100, 100, 640, 360)),
                                                          window("list", Rect(200, 100, 640, 360))});
    const auto w = elementsOf(p);
    sim->world().setFullScreen(simWindow(w[0]), true);
    ax().resetCounts();

    EXPECT_TRUE(WindowController::exitFullScreen(w[0]));
    EXPECT_FALSE(simWindow(w[0]).fullScreen);
    EXPECT_EQ(simWindow(w[0]).frame(), Rect(100, 100, 640, 360));
    EXPECT_EQ(ax().totalWrites(), 1u);

    ax().resetCounts();
    EXPECT_FALSE(WindowController::exitFullScreen(w[1]));
    EXPECT_EQ(ax().totalWrites(), 0u);
}

TEST_F(WindowControllerTest, FrontmostFullScreenReadsTheFocusedWindowBeforeTheMainOne) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    SimProcess& p = addApp("com.example.Video", "Video", {window("focused", Rect(100, 100, 640, 360)),
                                                          window("main", Rect(200, 100, 640, 360))});
    const auto w = elementsOf(p);
    EXPECT_FALSE(WindowController::isFrontmostWindowFullScreen());  // no frontmost application

    sim->world().frontmostPid = p.pid;
    p.focusedWindow = w[0];
    p.mainWindow = w[1];
    sim->world().setFullScreen(simWindow(w[1]), true);
    EXPECT_FALSE(WindowController::isFrontmostWindowFullScreen());

    // The focused window cannot say: the main window answers.
    simWindow(w[0]).unreadable.insert("AXFullScreen");
    EXPECT_TRUE(WindowController::isFrontmostWindowFullScreen());
    simWindow(w[0]).unreadable.clear();
    p.focusedWindow = AXElement{};
    EXPECT_TRUE(WindowController::isFrontmostWindowFullScreen());

    p.focusedWindow = w[0];
    sim->world().setFullScreen(simWindow(w[0]), true);
    sim->world().setFullScreen(simWindow(w[1]), false);
    EXPECT_TRUE(WindowController::isFrontmostWindowFullScreen());
}

}  // namespace
}  // namespace kestr::test
