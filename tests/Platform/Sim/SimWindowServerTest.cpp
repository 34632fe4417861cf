#include "Platform/Sim/SimWindowServer.h"

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimWindowServerTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        loadDefaultScenario();
    }
    std::vector<std::int64_t> numbers(std::uint32_t options) {
        std::vector<std::int64_t> out;
        const auto list = sim->windowServer().copyWindowList(options, 0);
        for (const auto& entry : *list) {
            out.push_back(*entry.get<PlistDict>()->at("kCGWindowNumber").get<std::int64_t>());
        }
        return out;
    }
};

TEST_F(SimWindowServerTest, EntriesCarryTheSystemKeys) {
    const auto list = *sim->windowServer().copyWindowList(WindowListOption::onScreenOnly, 0);
    const SimWindow& chrome = sim->world().process(523)->windows[0];
    const PlistDict* entry = nullptr;
    for (const auto& e : list) {
        if (e.get<PlistDict>()->at("kCGWindowNumber") == PlistValue(chrome.number)) entry = e.get<PlistDict>();
    }
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->at("kCGWindowOwnerPID"), PlistValue(std::int64_t{523}));
    EXPECT_EQ(entry->at("kCGWindowLayer"), PlistValue(0));
    EXPECT_EQ(entry->at("kCGWindowName"), PlistValue("Inbox - Gmail"));
    EXPECT_EQ(entry->at("kCGWindowIsOnscreen"), PlistValue(true));
    EXPECT_EQ(entry->at("kCGWindowBounds"),
              PlistValue(PlistDict{{"X", 1960.0}, {"Y", 60.0}, {"Width", 1400.0}, {"Height", 1000.0}}));
}

TEST_F(SimWindowServerTest, OnScreenListLeavesOutMinimisedHiddenAndOtherSpaces) {
    auto& world = sim->world();
    const std::size_t all = numbers(WindowListOption::all).size();
    const std::size_t shown = numbers(WindowListOption::onScreenOnly).size();
    EXPECT_EQ(all, shown + 1);  // the minimised Notes window
    world.process(412)->hidden = true;
    EXPECT_EQ(numbers(WindowListOption::onScreenOnly).size(), shown - 2);
    world.process(412)->hidden = false;
    world.process(523)->windows[0].space = 2;
    EXPECT_EQ(numbers(WindowListOption::onScreenOnly).size(), shown - 1);
    world.currentSpace = 2;
    EXPECT_EQ(numbers(WindowListOption::onScreenOnly),
              std::vector<std::int64_t>{world.process(523)->windows[0].number});
    EXPECT_EQ(numbers(WindowListOption::all).size(), all);
}

TEST_F(SimWindowServerTest, NewWindowsComeFirstAndTheListCanFail) {
    SimWindow window;
    window.position = Point{10, 40};
    window.size = Size{300, 200};
    const std::int64_t number = sim->world().addWindow(745, window).number;
    EXPECT_EQ(numbers(WindowListOption::onScreenOnly).front(), number);
    sim->simWindowServer().unavailable = true;
    EXPECT_FALSE(sim->windowServer().copyWindowList(WindowListOption::onScreenOnly, 0));
}

}  // namespace
}  // namespace kestr
