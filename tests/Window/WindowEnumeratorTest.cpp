#include "Platform/AXAttributes.h"
#include "Window/WindowEnumerator.h"

#include <gtest/gtest.h>

#include "Support/DesktopTest.h"

namespace kestr::test {
namespace {

using WindowEnumeratorTest = DesktopTest;

// Three screens: the main one, one without an identifier, and one the system has no UUID
// for. Five applications, one of them an accessory; sheets are left out, slivers are not.
TEST_F(WindowEnumeratorTest, DumpShowsDisplaysAndWindowsInFixedWidthCells) {
    addDisplay(1, Rect(0, 0, 1440, 900));
    addDisplay(0, Rect(-800, 0, 800, 600)).noIdentifier().uuid(std::nullopt);
    addDisplay(2, Rect(1440, -300, 1920, 1080)).uuid(std::nullopt);

    addApp("com.apple.finder", "Finder", {window("Documents", Rect(100, 50, 800, 600))});
    addApp("com.example.Helper", "Helper", {window("palette", Rect(0, 0, 400, 400))}, ActivationPolicy::accessory);

    SimWindow code = window("main.cpp \u2014 kestr", Rect(1500.7, -250.2, 1200.9, 800.5));
    code.subrole.reset();
    SimWindow minimized = window("", Rect(-50, 20, 640, 480));
    minimized.minimized = true;
    minimized.subrole = ax::dialogSubrole;
    SimWindow sheet = window("Save", Rect(100, 100, 500, 300));
    sheet.role = "AXSheet";
    addApp("com.microsoft.VSCodeInsiders.Extended", "Twenty One Characters",
           {code, minimized, sheet, window("tiny", Rect(200, 200, 3, 3))});

    SimWindow lost = window("Z\u00fcrich \u00dcberblick", Rect(700, 700, 300, 200));
    lost.unreadable = {ax::position, ax::role};
    SimProcess& cafe = addApp("", "Cafe\u0301 Re\u0301sume\u0301 Builder Pro X", {lost});  // combining accents
    cafe.bundleID.reset();

    SimProcess& nameless = addApp("com.example.nameless", "", {window("Untitled", Rect(10, 10, 300, 200))});
    nameless.name.reset();
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
        "#   App                   BundleID                        PID    Position(global)  Size        Min Disp      "
        "Title\n"
        "--------------------------------------------------------------------------------------------------------------"
        "----\n"
        "1   Finder                com.apple.finder                501    (100,50)          800x600     N   D15B1A70  "
        "AXWindow/AXStandardWindow   Documents\n"
        "2   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (1500,-250)       1200x800    N   ?         "
        "AXWindow/nil                main.cpp \u2014 kestr\n"
        "3   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (-50,20)          640x480     Y   ?         "
        "AXWindow/AXDialog           (no title)\n"
        "4   Twenty One Characters com.microsoft.VSCodeInsiders.Ex 503    (200,200)         3x3         N   D15B1A70  "
        "AXWindow/AXStandardWindow   tiny\n"
        "5   Cafe\u0301 Re\u0301sume\u0301 Builder P (no-bundle-id)                  504    (0,0)             300x200  "
        "   N   D15B1A70  nil/AXStandardWindow        Z\u00fcrich \u00dcberblick\n"
        "6   (unknown)             com.example.nameless            505    (10,10)           300x200     N   D15B1A70  "
        "AXWindow/AXStandardWindow   Untitled\n"
        "============================================================\n";
    EXPECT_EQ(WindowEnumerator::makeDumpText(), expected);
}

}  // namespace
}  // namespace kestr::test
