#include "Layout/EdgeGroupDetector.h"

#include <gtest/gtest.h>

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

TEST(EdgeGroupDetector, SideBySideWindowsShareAVerticalEdgeThatSnapsOntoItsMean) {
    std::vector<LayoutItem> items{item(frame(kDisplayA, 0, 25, 800, 875)), item(frame(kDisplayA, 803, 25, 637, 875))};
    const auto groups = detect(items);
    ASSERT_EQ(groups.size(), 1u);
    const EdgeGroup& g = groups[0];
    EXPECT_EQ(g.axis, Axis::vertical);
    EXPECT_EQ(g.coordinate, 801.5);
    EXPECT_EQ(g.leftOrTopItems, members({{items[0].id, WindowEdge::right}}));
    EXPECT_EQ(g.rightOrBottomItems, members({{items[1].id, WindowEdge::left}}));
    EXPECT_EQ(g.minCoordinate, 120);
    EXPECT_EQ(g.maxCoordinate, 1320);
    EXPECT_EQ(*g.spanEnd - *g.spanStart, 875);

    EdgeGroupDetector::snapItemsToGroups(items, groups);
    EXPECT_EQ(items[0].targetFrame, frame(kDisplayA, 0, 25, 801.5, 875));
    EXPECT_EQ(items[1].targetFrame, frame(kDisplayA, 801.5, 25, 638.5, 875));

    // The threshold is inclusive; on another display nothing is shared.
    EXPECT_EQ(detect({item(frame(kDisplayA, 0, 0, 400, 300)), item(frame(kDisplayA, 404, 0, 400, 300))}).size(), 1u);
    EXPECT_TRUE(detect({item(frame(kDisplayA, 0, 0, 400, 300)), item(frame(kDisplayB, 400, 0, 400, 300))}).empty());
}

// Along the line the handle shows where both sides overlap; sides that only touch there
// (windows placed corner to corner) give the span of both, never a single point.
TEST(EdgeGroupDetector, TheSpanIsWhereTheSidesOverlapOrBothWhereTheyOnlyTouch) {
    const auto span = [](double rightTop, double rightHeight) {
        const EdgeGroup g =
            detect({item(frame(kDisplayA, 0, 0, 400, 500)), item(frame(kDisplayA, 400, rightTop, 400, rightHeight))})
                .at(0);
        EXPECT_EQ(g.axis, Axis::vertical);
        return std::pair{*g.spanStart, *g.spanEnd};
    };
    EXPECT_EQ(span(200, 700), (std::pair{200.0, 500.0}));
    EXPECT_EQ(span(500, 400), (std::pair{0.0, 900.0}));
}

TEST(EdgeGroupDetector, MinimumSizesBoundTheLine) {
    const auto finder =
        detect({item(frame(kDisplayA, 0, 0, 800, 500), "com.apple.finder"), item(frame(kDisplayA, 800, 0, 640, 500))});
    ASSERT_EQ(finder.size(), 1u);
    EXPECT_EQ(finder[0].minCoordinate, 316);
    EXPECT_EQ(finder[0].maxCoordinate, 1320);

    // No room between the minimums: no group. Exactly no room: a line that cannot move.
    EXPECT_TRUE(detect({item(frame(kDisplayA, 0, 0, 100, 300)), item(frame(kDisplayA, 100, 0, 100, 300))}).empty());
    const auto stuck = detect({item(frame(kDisplayA, 0, 0, 120, 300)), item(frame(kDisplayA, 120, 0, 120, 300))});
    ASSERT_EQ(stuck.size(), 1u);
    EXPECT_EQ(stuck[0].minCoordinate, 120);
    EXPECT_EQ(stuck[0].maxCoordinate, 120);
}

// What the live windows report: a terminal at the top quarter stops 6 points short of
// the window below (whole character cells), and a window that keeps 600 x 450.
TEST(EdgeGroupDetector, ReportedSizeStepsAndMinimumsOfTheWindowsCount) {
    const std::vector<LayoutItem> stacked{item(frame(kDisplayA, 960, 22, 960, 523)),
                                          item(frame(kDisplayA, 960, 551, 960, 529))};
    EXPECT_TRUE(detect(stacked).empty());
    const auto withStep = [&](std::size_t stepped, Size step) {
        return EdgeGroupDetector::detectGroups(stacked, 4.0, 120.0, {{stacked[stepped].id, {std::nullopt, step}}});
    };
    for (std::size_t stepped : {0u, 1u}) {
        const auto groups = withStep(stepped, Size{6, 13});
        ASSERT_EQ(groups.size(), 1u) << "the step of item " << stepped;
        EXPECT_EQ(groups[0].axis, Axis::horizontal);
        EXPECT_EQ(groups[0].coordinate, 548);
    }
    // Only the step along the line's axis counts, and a step of one point is none.
    EXPECT_TRUE(withStep(0, Size{13, 1}).empty());

    const std::vector<LayoutItem> aboveTerminal{item(frame(kDisplayA, 0, 22, 720, 475)),
                                                item(frame(kDisplayA, 0, 497, 720, 583))};
    EXPECT_EQ(detect(aboveTerminal).at(0).minCoordinate, 142);
    const auto bounded = EdgeGroupDetector::detectGroups(
        aboveTerminal, 4.0, 120.0,
        {{aboveTerminal[0].id, {Size{600, 450}, std::nullopt}}, {aboveTerminal[1].id, {Size{300, 60}, std::nullopt}}});
    ASSERT_EQ(bounded.size(), 1u);
    EXPECT_EQ(bounded[0].minCoordinate, 472);
    EXPECT_EQ(bounded[0].maxCoordinate, 960) << "a reported minimum below the default keeps the default";
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
}

}  // namespace
}  // namespace kestr
