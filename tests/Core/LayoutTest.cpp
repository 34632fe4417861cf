#include "Core/Layout.h"

#include <gtest/gtest.h>

#include <limits>

#include "Support/ItemBuilder.h"

namespace kestr {
namespace {

LayoutItem finderDesktop(double width) {
    return test::ItemBuilder("com.apple.finder", "")
        .matcher(WindowMatcher::windowIndex(3))
        .target(ScreenFrame{"D", 0, 0, width, 900, 1440, 900, 0, 0});
}

TEST(Layout, StrippingDesktopJunkRemovesOnlyFullWidthUntitledFinderWindows) {
    Layout kest;
    kest.name = "Work";
    const LayoutItem removedExact = finderDesktop(1438);  // exactly 2 points less than the display
    LayoutItem keptTitled = finderDesktop(1440), keptFirstWindow = finderDesktop(1440), otherApp = finderDesktop(1440);
    keptTitled.capturedWindowTitle = "";
    keptFirstWindow.windowMatcher = WindowMatcher::firstWindow();
    otherApp.appBundleID = "com.apple.Finder";
    const LayoutItem keptNaN = finderDesktop(std::numeric_limits<double>::quiet_NaN());
    kest.items = {otherApp,        removedExact, finderDesktop(1437.5), keptTitled, finderDesktop(1500),
                  keptFirstWindow, keptNaN};
    kest.edgeGroups = {EdgeGroup{}};
    kest.edgeGroups[0].leftOrTopItems = {{removedExact.id, WindowEdge::right}};

    Layout got = kest.strippingDesktopJunk();
    Layout expected = kest;
    expected.items = {otherApp, kest.items[2], keptTitled, keptFirstWindow, keptNaN};
    ASSERT_EQ(got.items.size(), 5u);
    got.items.back().targetFrame.width = expected.items.back().targetFrame.width = 0;  // NaN never compares equal
    EXPECT_EQ(got, expected);
    EXPECT_EQ(kest.items.size(), 7u);  // the original is untouched
}

}  // namespace
}  // namespace kestr
