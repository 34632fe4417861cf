// A kest's shortcut wired to the layout engine, as the start-up wires it.
#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Layout/KestShortcut.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

constexpr std::uint32_t ctrlOptCmd = 0x1900;

class KestShortcutTest : public test::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        manager().applyKest = KestShortcut::apply;
    }
    HotkeyManager& manager() { return HotkeyManager::shared(); }
    static Layout kest(const std::string& name) {
        Layout l;
        l.id = Uuid::random();
        l.name = name;
        return l;
    }
};

// A press while another apply waits for a launch is dropped by the apply; it must not
// make the stored kest active with frames that were never applied, nor flash success.
TEST_F(KestShortcutTest, DroppedApplyChangesNothingAndTheNextPressAppliesTheStoredKest) {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
    const auto notes = addApp("com.example.Notes", "Notes", {window("Notes", Rect(500, 400, 300, 200))}).pid;
    auto notesFrame = [&] { return sim->world().process(notes)->windows.front().frame(); };
    sim->world().pointer = Point{10, 10};
    SimApplication slow;
    slow.bundleID = "com.example.Slow";
    slow.path = "/Applications/Slow.app";
    slow.firstWindowDelay = 3.0;
    sim->world().install(slow);
    std::vector<std::string> events;
    manager().setTrackerActiveLayout = [&](const std::optional<Layout>& l) {
        events.push_back("tracker " + l.value().name);
    };
    manager().setOverlayActiveLayout = [&](const std::optional<Layout>& l) {
        events.push_back("overlays " + l.value().name);
    };
    manager().onKestApplied = [&] { events.push_back("applied"); };
    auto& stored = LayoutStore::shared().layouts;
    stored = {kest("First"), kest("Second")};
    for (auto& k : stored) {
        k.items = {LayoutItem{}};
        k.items[0].id = Uuid::random();
        k.items[0].appBundleID = k.name == "First" ? "com.example.Slow" : "com.example.Notes";
        k.items[0].appName = k.name == "First" ? "Slow" : "Notes";
        k.items[0].targetFrame = frameOn(1, 720, 25, 720, 875);
    }
    manager().sync(stored, {});

    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);
    sim->virtualTime().advance(0.5);  // the first apply now waits for Slow's window
    sim->simHotKeys().pressHotKey(19, ctrlOptCmd);
    sim->virtualTime().advance(0.5);
    EXPECT_TRUE(events.empty()) << "the dropped press set nothing";
    EXPECT_EQ(notesFrame(), Rect(500, 400, 300, 200));
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"tracker First", "overlays First", "applied"}));

    // A kest edited after the sync is applied as stored at the time of the press.
    stored[1].items[0].targetFrame.x = 360;
    events.clear();
    sim->simHotKeys().pressHotKey(19, ctrlOptCmd);
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(notesFrame(), Rect(360, 25, 720, 875));
    EXPECT_EQ(events, (std::vector<std::string>{"tracker Second", "overlays Second", "applied"}));
}

}  // namespace
}  // namespace kestr
