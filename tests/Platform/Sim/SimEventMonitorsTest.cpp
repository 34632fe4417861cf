#include "Platform/Sim/SimEventMonitors.h"

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimEventMonitorsTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim->world().displays.push_back({1, std::nullopt, Rect(0, 0, 1000, 800), Insets{}});
    }
    static Event mouse(EventType type, Point appKit) {
        Event e;
        e.type = type;
        e.location = appKit;
        return e;
    }
};

TEST_F(SimEventMonitorsTest, GlobalMonitorsSeeEventsOfTheirMaskGoingElsewhere) {
    auto& monitors = sim->simEventMonitors();
    std::vector<EventType> seen;
    monitors.addGlobalMonitor(eventMask(EventType::leftMouseDown) | eventMask(EventType::leftMouseUp),
                              [&](const Event& e) { seen.push_back(e.type); });
    monitors.post(mouse(EventType::leftMouseDown, {10, 700}));
    EXPECT_EQ(monitors.pressedMouseButtons(), 1u);
    EXPECT_EQ(sim->world().pointer, (Point{10, 100}));
    monitors.post(mouse(EventType::leftMouseDragged, {20, 700}));
    monitors.post(mouse(EventType::leftMouseUp, {20, 700}), true);  // to this program: not global
    EXPECT_EQ(monitors.pressedMouseButtons(), 0u);
    EXPECT_EQ(seen, std::vector<EventType>{EventType::leftMouseDown});
}

TEST_F(SimEventMonitorsTest, LocalMonitorsMayChangeOrSwallowEvents) {
    auto& monitors = sim->simEventMonitors();
    const auto first = monitors.addLocalMonitor(eventMask(EventType::keyDown), [](const Event& e) {
        Event changed = e;
        changed.characters = "x";
        return std::optional<Event>(changed);
    });
    std::string secondSaw;
    monitors.addLocalMonitor(eventMask(EventType::keyDown), [&](const Event& e) {
        secondSaw = e.characters;
        return std::optional<Event>();
    });
    Event key;
    key.type = EventType::keyDown;
    key.characters = "a";
    EXPECT_FALSE(monitors.post(key, true));
    EXPECT_EQ(secondSaw, "x");
    monitors.removeMonitor(*first);
    EXPECT_FALSE(monitors.post(key, true));
    EXPECT_EQ(secondSaw, "a");
    // Keys do not move the pointer; flags changes set the modifiers.
    sim->world().pointer = Point{5, 5};
    Event flags;
    flags.type = EventType::flagsChanged;
    flags.modifierFlags = ModifierFlag::option;
    monitors.post(flags);
    EXPECT_EQ(monitors.modifierFlags(), ModifierFlag::option);
    EXPECT_EQ(sim->world().pointer, (Point{5, 5}));
}

TEST_F(SimEventMonitorsTest, MonitorCreationCanFail) {
    sim->simEventMonitors().failCreation = true;
    EXPECT_FALSE(sim->eventMonitors().addGlobalMonitor(eventMask(EventType::leftMouseDown), [](const Event&) {}));
    EXPECT_EQ(sim->simEventMonitors().monitorCount(), 0u);
}

}  // namespace
}  // namespace kestr
