#include "Layout/ApplyLog.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

using ApplyMode = LayoutApplier::ApplyMode;

LayoutItem notes(WindowMatcher matcher) {
    LayoutItem item;
    item.appBundleID = "com.example.Notes";
    item.appName = "Notes";
    item.windowMatcher = std::move(matcher);
    return item;
}

TEST(ApplyLogTest, MatchersInTheirTextualForm) {
    EXPECT_EQ(ApplyLog::matcherText(WindowMatcher::firstWindow()), "firstWindow");
    EXPECT_EQ(ApplyLog::matcherText(WindowMatcher::windowIndex(2)), "windowIndex(2)");
    EXPECT_EQ(ApplyLog::matcherText(WindowMatcher::titleContains("Inbox")), "titleContains(\"Inbox\")");
    EXPECT_EQ(ApplyLog::matcherText(WindowMatcher::titleRegex("^a\"b\\")), "titleRegex(\"^a\\\"b\\\\\")");
}

TEST(ApplyLogTest, PlacementLineTruncatesTowardZeroAndShowsTheDisplayPrefix) {
    LayoutApplier::Placement placement{7, "AAAAAAAA-0000-4000-8000-000000000001", "com.example.Notes",
                                       Rect(12.7, -0.5, 800.9, 600)};
    EXPECT_EQ(ApplyLog::placement(ApplyMode::restoreMissing, notes(WindowMatcher::windowIndex(1)), &placement),
              "kestr[apply restoreMissing]: PLACEMENT Notes [windowIndex(1)] → AAAAAAAA x=12 y=0 w=800 h=600");
    EXPECT_EQ(ApplyLog::placement(ApplyMode::freshWindows, notes(WindowMatcher::firstWindow()), nullptr),
              "kestr[apply freshWindows]: PLACEMENT Notes [firstWindow] → NONE");
}

TEST(ApplyLogTest, OutcomeLinesCarryTheModeInTheirTag) {
    const LayoutItem item = notes(WindowMatcher::titleContains("Todo"));
    EXPECT_EQ(ApplyLog::dropped(ApplyMode::freshWindows),
              "kestr[apply freshWindows]: dropped re-entrant apply (one already in flight)");
    EXPECT_EQ(ApplyLog::applied(ApplyMode::reuseExisting, item),
              "kestr[apply reuseExisting]: APPLIED Notes [titleContains(\"Todo\")]");
    EXPECT_EQ(ApplyLog::skipped(ApplyMode::restoreMissing, item, "app not open"),
              "kestr[apply restoreMissing]: SKIPPED Notes — app not open");
    EXPECT_EQ(ApplyLog::deferred(ApplyMode::restoreMissing, item),
              "kestr[apply restoreMissing]: DEFERRED Notes [titleContains(\"Todo\")] — will place when its "
              "window opens");
}

TEST(ApplyLogTest, LateWindowLinesUseDisplayLocalCoordinates) {
    LayoutApplier::Placement placement{2, "BBBBBBBB-0000-4000-8000-000000000002", "com.example.Notes",
                                       Rect(960.9, 25.2, 960, 1055)};
    const LayoutItem item = notes(WindowMatcher::firstWindow());
    EXPECT_EQ(ApplyLog::deferredPlaced(item, placement), "kestr[apply]: DEFERRED PLACED Notes → BBBBBBBB x=960 y=25");
    EXPECT_EQ(ApplyLog::deferredGaveUp(item), "kestr[apply]: DEFERRED GAVE UP Notes — no window after 30s");
}

}  // namespace
}  // namespace kestr
