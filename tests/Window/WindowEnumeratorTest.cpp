#include "Window/WindowEnumerator.h"

#include <gtest/gtest.h>

#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

const std::string cafeName = "Cafe\u0301 Re\u0301sume\u0301 Builder Pro X";  // accents as combining marks

class WindowEnumeratorTest : public DesktopTest {
protected:
    // Three screens: the main one, one without an identifier, and one the system has
    // no UUID for. Five applications, one of them an accessory.
    void buildDesktop() {
        addDisplay(1, Rect(0, 0, 1440, 900));
        sim->world().displays.push_back(SimDisplay{std::nullopt, std::nullopt, Rect(-800, 0, 800, 600), {}});
        sim->world().displays.push_back(SimDisplay{2, std::nullopt, Rect(1440, -300, 1920, 1080), {}});

        addApp("com.apple.finder", "Finder", {window("Documents", Rect(100, 50, 800, 600))});
        addApp("com.example.Helper", "Helper", {window("palette", Rect(0, 0, 400, 400))},
               ActivationPolicy::accessory);

        SimWindow code = window("main.cpp \u2014 kestr", Rect(1500.7, -250.2, 1200.9, 800.5));
        code.subrole.reset();
        SimWindow minimized = window("", Rect(-50, 20, 640, 480));
        minimized.minimized = true;
        minimized.subrole = "AXDialog";
        SimWindow sheet = window("Save", Rect(100, 100, 500, 300));
        sheet.role = "AXSheet";
        addApp("com.microsoft.VSCodeInsiders.Extended", "Twenty One Characters",
               {code, minimized, sheet, window("tiny", Rect(200, 200, 3, 3))});

        SimWindow lost = window("Z\u00fcrich \u00dcberblick", Rect(700, 700, 300, 200));
        lost.unreadable = {"AXPosition", "AXRole"};
        SimProcess& cafe = addApp("", cafeName, {lost});
        cafe.bundleID.reset();

        SimProcess& nameless = addApp("com.example.nameless", "", {window("Untitled", Rect(10, 10, 300, 200))});
        nameless.name.reset();
    }
};

TEST_F(WindowEnumeratorTest, ListsWindowsOfRegularApplicationsWithTheirDisplays) {
    buildDesktop();
    const auto windows = WindowEnumerator::enumerateAll();
    ASSERT_EQ(windows.size(), 6u);

    const EnumeratedWindow& finder = windows[0];
    EXPECT_EQ(finder.appName, "Finder");
    EXPECT_EQ(finder.pid, 501);
    EXPECT_EQ(finder.displayUUID, uuidOf(1));
    EXPECT_EQ(finder.displayLocalPosition, (Point{100, 50}));
    EXPECT_EQ(finder.role, "AXWindow");
    EXPECT_EQ(finder.subrole, "AXStandardWindow");

    // On a display without a UUID: a local position but no UUID.
    const EnumeratedWindow& code = windows[1];
    EXPECT_EQ(code.position, (Point{1500.7, -250.2}));
    EXPECT_EQ(code.displayUUID, std::nullopt);
    ASSERT_TRUE(code.displayLocalPosition);
    EXPECT_NEAR(code.displayLocalPosition->x, 60.7, 1e-9);
    EXPECT_NEAR(code.displayLocalPosition->y, 49.8, 1e-9);
    EXPECT_EQ(code.subrole, std::nullopt);

    // Off every display: neither.
    EXPECT_TRUE(windows[2].isMinimized);
    EXPECT_EQ(windows[2].displayUUID, std::nullopt);
    EXPECT_EQ(windows[2].displayLocalPosition, std::nullopt);

    // No size filter here, unlike the window list used for placing.
    EXPECT_EQ(windows[3].title, "tiny");
    EXPECT_EQ(windows[3].size, (Size{3, 3}));

    // Fallbacks for what cannot be read.
    const EnumeratedWindow& lost = windows[4];
    EXPECT_EQ(lost.appName, cafeName);
    EXPECT_EQ(lost.bundleID, "(no-bundle-id)");
    EXPECT_EQ(lost.position, (Point{0, 0}));
    EXPECT_EQ(lost.displayUUID, uuidOf(1));
    EXPECT_EQ(lost.role, std::nullopt);
    EXPECT_EQ(windows[5].appName, "(unknown)");
}

TEST_F(WindowEnumeratorTest, SkipsProcessesWithoutAValidIdentifier) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    SimProcess p;
    p.pid = -1;
    p.bundleID = "com.example.Ghost";
    p.windows = {window("ghost", Rect(0, 0, 400, 300))};
    sim->world().addProcess(std::move(p));
    EXPECT_TRUE(WindowEnumerator::enumerateAll().empty());
}

TEST_F(WindowEnumeratorTest, DumpShowsDisplaysAndWindowsInFixedWidthCells) {
    buildDesktop();
    sim->virtualTime().advance(12.7);
    const std::string expected =
        "================ kestr Window Dump ================\n"
        "Generated: 2026-12-05T20:00:12Z\n"
        "Accessibility trusted: true\n"
        "Display count: 3\n"
        "  Display 0: AX bounds=(0,0) size=1440x900 uuid=D15B1A70-0000-4000-8000-000000000001\n"
        "  Display 2: AX bounds=(1440,-300) size=1920x1080 uuid=?\n"
        "Windows enumerated: 6\n"
        "\n"
        "#   App                   BundleID                        PID    Position(global)  Size        Min Disp      Title\n"
        "------------------------------------------------------------------------------------------------------------------\n"
        "1   Finder                com.apple.finder                501    (100,50)          800x600     N   D15B1A70  AXWindow/AXStandardWindow   Documents\n"
        "2   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (1500,-250)       1200x800    N   ?         AXWindow/nil                main.cpp \u2014 kestr\n"
        "3   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (-50,20)          640x480     Y   ?         AXWindow/AXDialog           (no title)\n"
        "4   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (200,200)         3x3         N   D15B1A70  AXWindow/AXStandardWindow   tiny\n"
        "5   Cafe\u0301 Re\u0301sume\u0301 Builder P (no-bundle-id)                  504    (0,0)             300x200     N   D15B1A70  nil/AXStandardWindow        Z\u00fcrich \u00dcberblick\n"
        "6   (unknown)             com.example.nameless            505    (10,10)           300x200     N   D15B1A70  AXWindow/AXStandardWindow   Untitled\n"
        "============================================================\n";
    EXPECT_EQ(WindowEnumerator::makeDumpText(), expected);
}

TEST_F(WindowEnumeratorTest, DumpWithoutPermissionOrScreensListsNoWindows) {
    addApp("com.apple.finder", "Finder", {window("Documents", Rect(100, 50, 800, 600))});
    sim->world().trusted = false;
    const std::string expected =
        "================ kestr Window Dump ================\n"
        "Generated: 2026-12-05T20:00:00Z\n"
        "Accessibility trusted: false\n"
        "Display count: 0\n"
        "Windows enumerated: 0\n"
        "\n"
        "#   App                   BundleID                        PID    Position(global)  Size        Min Disp      Title\n"
        "------------------------------------------------------------------------------------------------------------------\n"
        "============================================================\n";
    EXPECT_EQ(WindowEnumerator::makeDumpText(), expected);
}

}  // namespace
}  // namespace kestr::test
