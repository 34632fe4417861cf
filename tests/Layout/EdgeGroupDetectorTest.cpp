#include "Layout/EdgeGroupDetector.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Layout/LayoutTestSupport.h"

namespace kestr {
namespace {

using test::frame;
using test::item;

const std::string kDisplayA = "AAAAAAAA-0000-0000-0000-000000000001";
const std::string kDisplayB = "BBBBBBBB-0000-0000-0000-000000000002";

std::vector<EdgeGroup> detect(const std::vector<LayoutItem>& items) {
    return EdgeGroupDetector::detectGroups(items, 4.0, 120.0);
}

std::vector<EdgeMember> members(std::initializer_list<std::pair<Uuid, WindowEdge>> list) {
    std::vector<EdgeMember> out;
    for (const auto& [id, edge] : list) out.push_back({id, edge});
    return out;
}

// Groups without their fresh identifiers, for comparing two detections.
std::vector<EdgeGroup> withoutIDs(std::vector<EdgeGroup> groups) {
    for (auto& g : groups) g.id = Uuid{};
    return groups;
}

TEST(EdgeGroupDetector, NothingSharedGivesNoGroups) {
    EXPECT_TRUE(detect({}).empty());
    EXPECT_TRUE(detect({item(frame(kDisplayA, 0, 0, 400, 300)), item(frame(kDisplayA, 600, 500, 400, 300))}).empty());
}

TEST(EdgeGroupDetector, SideBySideWindowsShareAVerticalEdgeThatSnapsOntoItsMean) {
    std::vector<LayoutItem> items{item(frame(kDisplayA, 0, 25, 800, 875)), item(frame(kDisplayA, 803, 25, 637, 875))};
    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 1u);
    const EdgeGroup& g = groups[0];
    EXPECT_EQ(g.axis, Axis::vertical);
    EXPECT_EQ(g.displayUUID, kDisplayA);
    EXPECT_EQ(g.coordinate, 801.5);
    EXPECT_EQ(g.leftOrTopItems, members({{items[0].id, WindowEdge::right}}));
    EXPECT_EQ(g.rightOrBottomItems, members({{items[1].id, WindowEdge::left}}));
    EXPECT_EQ(g.minCoordinate, 120);
    EXPECT_EQ(g.maxCoordinate, 1320);
    EXPECT_EQ(g.spanStart, 25);
    EXPECT_EQ(g.spanEnd, 900);

    EdgeGroupDetector::snapItemsToGroups(items, groups);
    EXPECT_EQ(items[0].targetFrame, frame(kDisplayA, 0, 25, 801.5, 875));
    EXPECT_EQ(items[1].targetFrame, frame(kDisplayA, 801.5, 25, 638.5, 875));
}

TEST(EdgeGroupDetector, TheThresholdIsInclusive) {
    EXPECT_EQ(detect({item(frame(kDisplayA, 0, 0, 400, 300)), item(frame(kDisplayA, 404, 0, 400, 300))}).size(), 1u);
    EXPECT_TRUE(detect({item(frame(kDisplayA, 0, 0, 400, 300)), item(frame(kDisplayA, 404.5, 0, 400, 300))}).empty());
}

TEST(EdgeGroupDetector, AlignedEdgesAreNotShared) {
    const std::vector<LayoutItem> items{item(frame(kDisplayA, 0, 25, 700, 400)), item(frame(kDisplayA, 0, 429, 700, 400))};
    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].axis, Axis::horizontal);
    EXPECT_EQ(groups[0].coordinate, 427);
    EXPECT_EQ(groups[0].leftOrTopItems, members({{items[0].id, WindowEdge::bottom}}));
    EXPECT_EQ(groups[0].rightOrBottomItems, members({{items[1].id, WindowEdge::top}}));
    EXPECT_EQ(groups[0].minCoordinate, 145);
    EXPECT_EQ(groups[0].maxCoordinate, 709);
}

TEST(EdgeGroupDetector, MinimumSizesBoundTheLine) {
    const auto finder = detect({item(frame(kDisplayA, 0, 0, 800, 500), "com.apple.finder"),
                                item(frame(kDisplayA, 800, 0, 640, 500))});
    ASSERT_EQ(finder.size(), 1u);
    EXPECT_EQ(finder[0].minCoordinate, 316);
    EXPECT_EQ(finder[0].maxCoordinate, 1320);

    const auto terminal = detect({item(frame(kDisplayA, 0, 0, 500, 400)),
                                  item(frame(kDisplayA, 0, 400, 500, 400), "com.apple.Terminal")});
    ASSERT_EQ(terminal.size(), 1u);
    EXPECT_EQ(terminal[0].minCoordinate, 120);
    EXPECT_EQ(terminal[0].maxCoordinate, 588);

    // No room between the minimums: no group. Equal bounds still make one.
    EXPECT_TRUE(detect({item(frame(kDisplayA, 0, 0, 100, 300)), item(frame(kDisplayA, 100, 0, 100, 300))}).empty());
    const auto stuck = detect({item(frame(kDisplayA, 0, 0, 120, 300)), item(frame(kDisplayA, 120, 0, 120, 300))});
    ASSERT_EQ(stuck.size(), 1u);
    EXPECT_EQ(stuck[0].minCoordinate, stuck[0].maxCoordinate);
}

TEST(EdgeGroupDetector, SpanIsTheOverlapOfTheSidesOrTheirUnion) {
    const auto overlap = detect({item(frame(kDisplayA, 0, 0, 500, 500)), item(frame(kDisplayA, 500, 200, 500, 700))});
    ASSERT_EQ(overlap.size(), 1u);
    EXPECT_EQ(overlap[0].spanStart, 200);
    EXPECT_EQ(overlap[0].spanEnd, 500);

    // Corner to corner: the windows share a vertical and a horizontal line.
    const auto touching = detect({item(frame(kDisplayA, 0, 0, 500, 300)), item(frame(kDisplayA, 500, 300, 500, 600))});
    ASSERT_EQ(touching.size(), 2u);
    ASSERT_EQ(touching[0].axis, Axis::vertical);
    EXPECT_EQ(touching[0].spanStart, 0);
    EXPECT_EQ(touching[0].spanEnd, 900);
}

TEST(EdgeGroupDetector, ClustersFollowTheRunningMean) {
    // Edges at 0 and 3 (mean 1.5), then 6 and 9: 6 lies 4.5 from the mean, so two lines.
    const std::vector<LayoutItem> items{item(frame(kDisplayA, -200, 0, 200, 100)), item(frame(kDisplayA, 3, 200, 500, 100)),
                                        item(frame(kDisplayA, -194, 400, 200, 100)),
                                        item(frame(kDisplayA, 9, 600, 800, 100))};
    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].coordinate, 1.5);
    EXPECT_EQ(groups[0].leftOrTopItems, members({{items[0].id, WindowEdge::right}}));
    EXPECT_EQ(groups[1].coordinate, 7.5);
    EXPECT_EQ(groups[1].rightOrBottomItems, members({{items[3].id, WindowEdge::left}}));
}

TEST(EdgeGroupDetector, SidesAreSortedByItemIdentifier) {
    std::vector<LayoutItem> items{item(frame(kDisplayA, 0, 0, 500, 200)), item(frame(kDisplayA, 1, 200, 500, 200)),
                                  item(frame(kDisplayA, 2, 400, 500, 200)), item(frame(kDisplayA, 503, 0, 500, 600))};
    items[0].id = *Uuid::parse("C0000000-0000-4000-8000-000000000000");
    items[1].id = *Uuid::parse("a0000000-0000-4000-8000-000000000000");
    items[2].id = *Uuid::parse("B0000000-0000-4000-8000-000000000000");
    const auto groups = detect(items);
    const auto vertical = std::find_if(groups.begin(), groups.end(),
                                       [](const EdgeGroup& g) { return g.axis == Axis::vertical && g.coordinate > 400; });
    ASSERT_NE(vertical, groups.end());
    EXPECT_EQ(vertical->coordinate, 501.5);
    EXPECT_EQ(vertical->leftOrTopItems, members({{items[1].id, WindowEdge::right},
                                                 {items[2].id, WindowEdge::right},
                                                 {items[0].id, WindowEdge::right}}));
}

TEST(EdgeGroupDetector, GroupsAreOrderedByDisplayAxisAndCoordinateWhateverTheItemOrder) {
    auto onDisplay = [](const std::string& d) {
        // Four quarters: two vertical lines' worth of edges at 720 and two horizontal at 450.
        return std::vector<LayoutItem>{item(frame(d, 0, 0, 720, 450)), item(frame(d, 720, 0, 720, 450)),
                                       item(frame(d, 0, 450, 720, 450)), item(frame(d, 720, 450, 720, 450))};
    };
    std::vector<LayoutItem> items = onDisplay(kDisplayB);
    const auto more = onDisplay(kDisplayA);
    items.insert(items.end(), more.begin(), more.end());

    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].displayUUID, kDisplayA);
    EXPECT_EQ(groups[0].axis, Axis::vertical);
    EXPECT_EQ(groups[1].displayUUID, kDisplayA);
    EXPECT_EQ(groups[1].axis, Axis::horizontal);
    EXPECT_EQ(groups[2].displayUUID, kDisplayB);
    EXPECT_EQ(groups[2].axis, Axis::vertical);
    EXPECT_EQ(groups[3].axis, Axis::horizontal);

    std::vector<LayoutItem> reversed(items.rbegin(), items.rend());
    EXPECT_EQ(withoutIDs(detect(reversed)), withoutIDs(groups));
    // Every detection makes new identifiers.
    EXPECT_NE(detect(items)[0].id, groups[0].id);
}

TEST(EdgeGroupDetector, SnappingWorksGroupAfterGroupOnTheFramesLeftBefore) {
    std::vector<LayoutItem> items{item(frame(kDisplayA, 0, 0, 700, 448)), item(frame(kDisplayA, 703, 0, 737, 900)),
                                  item(frame(kDisplayA, 0, 452, 702, 448))};
    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 2u);
    EdgeGroupDetector::snapItemsToGroups(items, groups);
    // Vertical line at the mean of 700, 702 and 703; horizontal at 450.
    const double x = (700.0 + 702.0 + 703.0) / 3;
    EXPECT_EQ(items[0].targetFrame, frame(kDisplayA, 0, 0, x, 450));
    EXPECT_EQ(items[1].targetFrame, frame(kDisplayA, x, 0, 1440 - x, 900));
    EXPECT_EQ(items[2].targetFrame, frame(kDisplayA, 0, 450, x, 450));

    // A member whose item is gone is passed over; no groups leave items alone.
    std::vector<LayoutItem> unrelated{item(frame(kDisplayA, 10, 10, 300, 300))};
    const auto before = unrelated;
    EdgeGroupDetector::snapItemsToGroups(unrelated, groups);
    EXPECT_EQ(unrelated, before);
    EdgeGroupDetector::snapItemsToGroups(items, {});
    EXPECT_EQ(items[0].targetFrame, frame(kDisplayA, 0, 0, x, 450));
}

}  // namespace
}  // namespace kestr
