#include "Core/Layout.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestr {
namespace {

LayoutItem finderDesktop(double width, double dispW) {
    LayoutItem item;
    item.id = Uuid::random();
    item.appBundleID = "com.apple.finder";
    item.appName = "Finder";
    item.windowMatcher = WindowMatcher::windowIndex(3);
    item.targetFrame = ScreenFrame{"D", 0, 0, width, 900, dispW, 900, 0, 0};
    return item;
}

LayoutItem plain(const char* bundle) {
    LayoutItem item;
    item.id = Uuid::random();
    item.appBundleID = bundle;
    item.appName = bundle;
    item.targetFrame = ScreenFrame{"D", 10, 10, 400, 300, {}, {}, {}, {}};
    return item;
}

TEST(Layout, StrippingDesktopJunkRemovesOnlyFullWidthUntitledFinderWindows) {
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Work";
    kest.hotkey = Hotkey{18, 0x100};
    kest.createdAt = Date{1000.5};
    kest.updatedAt = Date{2000.25};

    const LayoutItem removedExact = finderDesktop(1438, 1440);  // exactly 2 points less
    const LayoutItem removedWider = finderDesktop(1500, 1440);
    LayoutItem keptNarrow = finderDesktop(1437.5, 1440);
    LayoutItem keptTitled = finderDesktop(1440, 1440);
    keptTitled.capturedWindowTitle = "";
    LayoutItem keptFirstWindow = finderDesktop(1440, 1440);
    keptFirstWindow.windowMatcher = WindowMatcher::firstWindow();
    LayoutItem keptNoDispW = finderDesktop(1440, 1440);
    keptNoDispW.targetFrame.dispW.reset();
    LayoutItem keptNaN = finderDesktop(std::numeric_limits<double>::quiet_NaN(), 1440);
    LayoutItem keptOtherApp = finderDesktop(1440, 1440);
    keptOtherApp.appBundleID = "com.apple.Finder";
    const LayoutItem a = plain("a"), b = plain("b");

    kest.items = {a, removedExact, keptNarrow, keptTitled, removedWider, keptFirstWindow, b, keptNoDispW,
                  keptNaN, keptOtherApp};
    EdgeGroup group;
    group.id = Uuid::random();
    group.leftOrTopItems = {{removedExact.id, WindowEdge::right}};
    kest.edgeGroups = {group};

    const Layout stripped = kest.strippingDesktopJunk();
    ASSERT_EQ(stripped.items.size(), 8u);
    const std::vector<Uuid> expected = {a.id,           keptNarrow.id,  keptTitled.id, keptFirstWindow.id,
                                        b.id,           keptNoDispW.id, keptNaN.id,    keptOtherApp.id};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(stripped.items[i].id, expected[i]);
    EXPECT_EQ(stripped.id, kest.id);
    EXPECT_EQ(stripped.name, kest.name);
    EXPECT_EQ(stripped.hotkey, kest.hotkey);
    EXPECT_EQ(stripped.edgeGroups, kest.edgeGroups);
    EXPECT_EQ(stripped.createdAt, kest.createdAt);
    EXPECT_EQ(stripped.updatedAt, kest.updatedAt);
    EXPECT_EQ(kest.items.size(), 10u);  // the original is untouched
}

TEST(Layout, EqualityFollowsOrderAndExactValues) {
    Layout one;
    one.items = {plain("a"), plain("b")};
    Layout two = one;
    EXPECT_EQ(one, two);
    std::swap(two.items[0], two.items[1]);
    EXPECT_NE(one, two);

    LayoutItem x = plain("a");
    LayoutItem y = x;
    y.targetFrame.x = std::numeric_limits<double>::quiet_NaN();
    LayoutItem z = y;
    EXPECT_NE(y, z);  // NaN is unequal to everything, itself included
    y.targetFrame.x = -0.0;
    x.targetFrame.x = 0.0;
    EXPECT_EQ(x, y);
    EXPECT_NE(WindowMatcher::windowIndex(0), WindowMatcher::firstWindow());
    EXPECT_NE(WindowMatcher::titleContains("a"), WindowMatcher::titleRegex("a"));
    EXPECT_EQ(WindowMatcher::titleRegex("a"), WindowMatcher::titleRegex("a"));
}

}  // namespace
}  // namespace kestr
