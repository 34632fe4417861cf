#include "EdgeResize/EdgeOverlay.h"

#include <gtest/gtest.h>

#include "EdgeResize/EdgeDragSession.h"
#include "Support/ActiveKestTest.h"

namespace kestr::test {
namespace {

class EdgeOverlayTest : public ActiveKestTest {
protected:
    EdgeGroup vertical(double coordinate, std::optional<double> spanStart, std::optional<double> spanEnd) {
        EdgeGroup g;
        g.id.bytes[0] = static_cast<std::uint8_t>(1 + groups.size());
        g.displayUUID = uuidOf(1);
        g.coordinate = coordinate;
        g.minCoordinate = 0;
        g.maxCoordinate = 1440;
        g.spanStart = spanStart;
        g.spanEnd = spanEnd;
        groups.push_back(g);
        return g;
    }
    std::vector<EdgeGroup> groups;
};

TEST_F(EdgeOverlayTest, KnobAndLineGeometryAtRestAndPressed) {
    const EdgeGroup g = vertical(720, 100, 500);
    const EdgeGroup inverted = vertical(300, 600, 200);
    EdgeOverlay overlay(uuidOf(1), groups, Rect(0, 0, 1440, 900), nullptr);

    const auto rest = overlay.knobMetrics(g, 720, 0);
    EXPECT_EQ(rest.rect, Rect(713, 300 - 23.8, 14, 47.6));
    EXPECT_EQ(rest.radius, 7);
    const auto pressed = overlay.knobMetrics(g, 720, 1);
    EXPECT_EQ(pressed.girth, 27);
    EXPECT_NEAR(pressed.rect.height(), 71.4, 1e-9);
    EXPECT_EQ(pressed.radius, 13.5);
    // An inverted span: the whole height for the line, the knob still at the mean.
    EXPECT_EQ(overlay.lineSpan(inverted).hi, 900);
    EXPECT_EQ(overlay.spanMidpoint(inverted), 400);

    overlay.setActiveGroup(g.id);
    const auto d = overlay.drawing();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->line, Rect(719.5, 100, 1, 400));
    EXPECT_EQ(d->center, 0.5);
    ASSERT_EQ(d->layers.size(), 1u) << "at rest only the idle line";
    EXPECT_EQ(d->glassAlpha, 0);
}

TEST_F(EdgeOverlayTest, APressGrowsTheKnobAndSpreadsTheColourFromTheMiddle) {
    const EdgeGroup g = vertical(720, 100, 500);
    EdgeOverlay overlay(uuidOf(1), groups, Rect(0, 0, 1440, 900), nullptr);
    overlay.setActiveGroup(g.id);
    sim->virtualTime().advance(0.1);
    EXPECT_FALSE(overlay.isAnimating()) << "settled at rest";
    overlay.setActiveGroup(g.id);
    EXPECT_FALSE(overlay.isAnimating()) << "the same group changes nothing";

    EdgeDragSession& session = EdgeDragSession::shared();
    session.start(g, 1, 720);
    overlay.updatePressState();
    sim->virtualTime().advance(5.0 / 60);
    const auto early = overlay.drawing();
    ASSERT_EQ(early->layers.size(), 2u);
    // Five frames: a quarter of the way out from the midpoint, both ways.
    EXPECT_NEAR(early->layers[1].segment.minY(), 300 - 0.25 * 200, 1e-6);
    EXPECT_NEAR(early->layers[1].segment.maxY(), 300 + 0.25 * 200, 1e-6);
    EXPECT_NEAR(overlay.pressProgress, 1 - std::pow(0.65, 5), 1e-9);

    // Held at a limit the line turns to the clipped colour.
    session.update(2000);
    overlay.updatePressState();
    sim->virtualTime().advance(1);
    EXPECT_EQ(overlay.lineBaseColor, EdgeLineColor::clipped);
    EXPECT_FALSE(overlay.isAnimating());
    EXPECT_NEAR(overlay.drawing()->glassAlpha, 0.32, 1e-9);

    // Released, then pressed again at once: the new press starts in the pressed colour.
    session.cancel();
    overlay.updatePressState();
    session.start(g, 1, 720);
    overlay.updatePressState();
    EXPECT_EQ(overlay.lineBaseColor, EdgeLineColor::pressed);
    EXPECT_FALSE(overlay.lineNewColor);
    session.cancel();
    overlay.updatePressState();
    sim->virtualTime().advance(1);
    EXPECT_EQ(overlay.pressProgress, 0);
    EXPECT_FALSE(overlay.isAnimating());
}

}  // namespace
}  // namespace kestr::test
