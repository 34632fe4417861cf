#include "EdgeResize/EdgeDragSession.h"

#include <gtest/gtest.h>

#include "EdgeResize/EdgeProximityTracker.h"
#include "Support/ActiveKestTest.h"

namespace kestr::test {
namespace {

class EdgeDragSessionTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        // Captured with the edge at 700: the magnet pulls there.
        kest.items[0].capturedFrame = frameOn(1, 0, 25, 700, 875);
        kest.items[1].capturedFrame = frameOn(1, 700, 25, 740, 875);
        EdgeProximityTracker::shared().setActiveLayout(kest);
        group = kest.edgeGroups.at(0);
        session().onActiveChange = [this](bool active) { events.push_back(active ? "active" : "idle"); };
        session().onClippedChange = [this](bool clipped) { events.push_back(clipped ? "clipped" : "free"); };
        session().onUpdate = [this] { ++updates; };
    }
    static EdgeDragSession& session() { return EdgeDragSession::shared(); }
    void pressEscape(bool toThisProgram) {
        Event e;
        e.type = EventType::keyDown;
        e.keyCode = 53;
        delivered = sim->simEventMonitors().post(e, toThisProgram);
        sim->virtualTime().runPending();
    }

    EdgeGroup group;
    std::vector<std::string> events;
    int updates = 0;
    std::optional<Event> delivered;
};

TEST_F(EdgeDragSessionTest, TheEdgeStaysWithinItsLimitsAndReportsEachCrossingOnce) {
    // 120 points from both ends of the visible area, and within the group's own range.
    ASSERT_LE(group.minCoordinate, 120);
    ASSERT_GE(group.maxCoordinate, 1320);
    session().start(group, 1, 720);
    EXPECT_EQ(session().baselineGlobalCoord, 700);
    session().update(1320);
    EXPECT_FALSE(session().clipped);
    session().update(1321);
    EXPECT_TRUE(session().clipped);
    EXPECT_EQ(session().currentGlobalCoord, 1320);
    session().update(1500);
    session().update(119);
    EXPECT_EQ(session().currentGlobalCoord, 120);
    session().update(500);
    EXPECT_EQ(events, (std::vector<std::string>{"active", "clipped", "free"}));
    EXPECT_EQ(updates, 6);
}

TEST_F(EdgeDragSessionTest, TheMagnetPullsWithinFourPointsOfTheCapturedEdge) {
    session().start(group, 1, 720);
    session().update(704);
    EXPECT_EQ(session().currentGlobalCoord, 700);
    session().update(695.99);
    EXPECT_EQ(session().currentGlobalCoord, 695.99);
    EXPECT_EQ(session().previewLocalCoord(), 695.99);

    // A baseline outside the limits never pulls; crossed limits hold the edge at the low one.
    sim->world().displays[0].bounds = Rect(0, 0, 200, 900);
    session().update(690);
    EXPECT_EQ(session().currentGlobalCoord, 120);
}

TEST_F(EdgeDragSessionTest, ACommitWithinHalfAPointMovesNothingButStillEnds) {
    session().start(group, 1, 720);
    session().update(720.5);
    auto move = session().commit();
    EXPECT_FALSE(session().isActive);
    EXPECT_FALSE(session().group);
    EXPECT_EQ(events, (std::vector<std::string>{"active", "idle"}));
    events.clear();
    auto nothing = session().commit();
    EXPECT_TRUE(events.empty()) << "no group: no callback";
}

TEST_F(EdgeDragSessionTest, EscapeCancelsTheDragFromAnyWindow) {
    const std::size_t idle = sim->simEventMonitors().monitorCount();
    session().start(group, 1, 720);
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), idle + 2);
    Event other;
    other.type = EventType::keyDown;
    other.keyCode = 12;
    EXPECT_TRUE(sim->simEventMonitors().post(other, true)) << "other keys pass";
    pressEscape(true);
    EXPECT_FALSE(delivered) << "swallowed in our own windows";
    EXPECT_FALSE(session().isActive);
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), idle);

    session().start(group, 1, 720);
    pressEscape(false);
    EXPECT_FALSE(session().isActive);
    EXPECT_EQ(events, (std::vector<std::string>{"active", "idle", "active", "idle"}));
}

}  // namespace
}  // namespace kestr::test
