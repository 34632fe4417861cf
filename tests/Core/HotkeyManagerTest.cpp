// Registration order, automatic digits, refusals, dispatch of presses and what a kest's
// shortcut does once its apply has returned.
#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

constexpr std::uint32_t ctrlOptCmd = 0x1900;

class HotkeyManagerTest : public test::DesktopTest {
protected:
    HotkeyManager& manager() { return HotkeyManager::shared(); }

    static Layout kest(const std::string& name, std::optional<Hotkey> hotkey = std::nullopt) {
        Layout l;
        l.id = Uuid::random();
        l.name = name;
        l.hotkey = hotkey;
        return l;
    }
    static std::vector<Layout> kests(int count) {
        std::vector<Layout> out;
        for (int i = 0; i < count; ++i) out.push_back(kest("Kest " + std::to_string(i + 1)));
        return out;
    }
    static SnapBinding snap(SnapAction action, Hotkey hotkey) { return SnapBinding{Uuid::random(), action, hotkey}; }
    std::vector<std::uint32_t> registeredKeyCodes() {
        std::vector<std::uint32_t> out;
        for (const auto& r : manager().registrations) out.push_back(r.hotkey.keyCode);
        return out;
    }
};

TEST_F(HotkeyManagerTest, TwelveKestsGetTheNineDigitsInOrderAndTheRestNothing) {
    const auto layouts = kests(12);
    const auto conflicts = manager().sync(layouts, {snap(SnapAction::leftHalf, Hotkey{123, 0x1800})});
    EXPECT_TRUE(conflicts.empty());
    // Kests first (digits 1-9), then the capture shortcut (Return), then the snap binding.
    EXPECT_EQ(registeredKeyCodes(), (std::vector<std::uint32_t>{18, 19, 20, 21, 23, 22, 26, 28, 25, 36, 123}));
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(manager().registrations[i].autoAssigned);
        EXPECT_EQ(manager().registrations[i].hotkey.modifiers, ctrlOptCmd);
        EXPECT_EQ(manager().effectiveHotkey(layouts[i].id), manager().registrations[i].hotkey);
    }
    for (int i = 9; i < 12; ++i) EXPECT_EQ(manager().effectiveHotkey(layouts[i].id), std::nullopt);
    EXPECT_EQ(manager().captureHotkey(), (Hotkey{36, ctrlOptCmd}));
    EXPECT_EQ(sim->simLog().lines().back(),
              "kestr[hotkey]: 11 hotkeys registered, 0 conflict(s); 1 snap(s) + 12 kest(s) requested");
}

TEST_F(HotkeyManagerTest, OwnDigitShortcutReservesItsDigitForTheWholeSync) {
    auto layouts = kests(3);
    layouts.push_back(kest("Own three", Hotkey{20, ctrlOptCmd}));
    layouts.push_back(kest("Other mask", Hotkey{21, 0x900}));
    layouts.push_back(kest("Fourth automatic"));
    manager().sync(layouts, {});
    EXPECT_EQ(manager().effectiveHotkey(layouts[0].id)->keyCode, 18u);
    EXPECT_EQ(manager().effectiveHotkey(layouts[1].id)->keyCode, 19u);
    EXPECT_EQ(manager().effectiveHotkey(layouts[2].id)->keyCode, 21u) << "3 is reserved, 4 is not";
    EXPECT_EQ(manager().effectiveHotkey(layouts[3].id), (Hotkey{20, ctrlOptCmd}));
    EXPECT_FALSE(manager().registrations[3].autoAssigned);
    EXPECT_EQ(manager().effectiveHotkey(layouts[5].id)->keyCode, 23u);
}

TEST_F(HotkeyManagerTest, RefusalsBecomeConflictsAndNeverReuseADigit) {
    sim->simHotKeys().holdByOtherProgram(18, ctrlOptCmd);  // digit 1 held elsewhere
    auto layouts = kests(2);
    layouts.push_back(kest("Same as first own", Hotkey{0, 0x100}));
    layouts.push_back(kest("Duplicate own", Hotkey{0, 0x100}));
    const auto conflicts =
        manager().sync(layouts, {snap(SnapAction::rightHalf, Hotkey{19, ctrlOptCmd}),
                                 snap(SnapAction::maximize, Hotkey{36, ctrlOptCmd})});
    ASSERT_EQ(conflicts.size(), 4u);
    EXPECT_EQ(conflicts[0], (HotkeyManager::Conflict{HotkeySource::layout(layouts[0].id), Hotkey{18, ctrlOptCmd}}));
    EXPECT_EQ(manager().effectiveHotkey(layouts[1].id), (Hotkey{19, ctrlOptCmd})) << "the next digit, not the same";
    EXPECT_EQ(conflicts[1].source, HotkeySource::layout(layouts[3].id)) << "the later kest loses";
    EXPECT_EQ(conflicts[2], (HotkeyManager::Conflict{HotkeySource::snap(SnapAction::rightHalf), Hotkey{19, ctrlOptCmd}}));
    EXPECT_EQ(conflicts[3].source, HotkeySource::snap(SnapAction::maximize)) << "the capture shortcut came first";
    const auto& log = sim->simLog().lines();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3],
              "kestr[hotkey]: snap 'rightHalf' (⌃⌥⌘2) FAILED to register — likely taken by the system or another app");
    EXPECT_EQ(log.back(), "kestr[hotkey]: 3 hotkeys registered, 4 conflict(s); 2 snap(s) + 4 kest(s) requested");
}

TEST_F(HotkeyManagerTest, CaptureShortcutComesFromPreferencesAndItsRefusalClearsIt) {
    Preferences::shared().setCaptureHotkey(Hotkey{1, 0x1100});
    manager().sync({}, {});
    EXPECT_EQ(manager().captureHotkey(), (Hotkey{1, 0x1100}));
    EXPECT_EQ(sim->simLog().lines().back(),
              "kestr[hotkey]: 1 hotkeys registered, 0 conflict(s); 0 snap(s) + 0 kest(s) requested");

    Preferences::shared().setCaptureHotkey(std::nullopt);
    sim->simHotKeys().holdByOtherProgram(36, ctrlOptCmd);
    const auto conflicts = manager().sync({}, {});
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].source, HotkeySource::captureCurrent());
    EXPECT_EQ(manager().captureHotkey(), std::nullopt);
}

TEST_F(HotkeyManagerTest, PressesDispatchByIdentifierUnlessSuspendedOrStale) {
    int captures = 0;
    manager().captureHandler = [&] { ++captures; };
    manager().sync({}, {});
    EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, ctrlOptCmd));
    EXPECT_EQ(captures, 1) << "the capture handler runs inside the callback";

    manager().suspended = true;
    sim->simHotKeys().pressHotKey(36, ctrlOptCmd);
    EXPECT_EQ(captures, 1);
    manager().suspended = false;
    sim->simHotKeys().pressHotKey(36, ctrlOptCmd);
    EXPECT_EQ(captures, 2);

    // A press carrying an identifier from before the last sync does nothing.
    const std::uint32_t oldID = manager().handlers.begin()->first;
    manager().sync({}, {});
    EXPECT_GT(manager().handlers.begin()->first, oldID) << "identifiers grow across syncs";
    HotKeyEvent stale{EventHotKeyID{HotkeyManager::signature, oldID}};
    EXPECT_EQ(sim->simHotKeys().deliver(&stale), HotKeyStatus::noErr);
    EXPECT_EQ(captures, 2);
    HotKeyEvent noKey{};
    EXPECT_EQ(sim->simHotKeys().deliver(&noKey), HotKeyStatus::eventParameterNotFound);
}

TEST_F(HotkeyManagerTest, RecordingPauseUnregistersAndResumesWithTheLastArguments) {
    manager().pauseForRecording();
    EXPECT_FALSE(manager().pausedForRecording) << "nothing to pause before the first sync";
    const auto layouts = kests(2);
    manager().sync(layouts, {});
    manager().pauseForRecording();
    EXPECT_TRUE(sim->simHotKeys().registrations().empty());
    EXPECT_TRUE(manager().registrations.empty());
    manager().resumeAfterRecording();
    EXPECT_EQ(registeredKeyCodes(), (std::vector<std::uint32_t>{18, 19, 36}));
}

TEST_F(HotkeyManagerTest, SnapShortcutRunsTheSnapAndLogsItsFailure) {
    std::vector<std::string> snapped;
    manager().applySnap = [&](SnapAction a) -> Task<void> {
        snapped.push_back(a.rawValue());
        if (a == SnapAction::maximize) throw Error("no focused window");
        co_return;
    };
    manager().sync({}, {snap(SnapAction::leftHalf, Hotkey{123, 0x1800}), snap(SnapAction::maximize, Hotkey{46, 0x1800})});
    sim->simHotKeys().pressHotKey(123, 0x1800);
    sim->simHotKeys().pressHotKey(46, 0x1800);
    EXPECT_TRUE(snapped.empty()) << "the snap runs in a task, not inside the callback";
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(snapped, (std::vector<std::string>{"leftHalf", "maximize"}));
    EXPECT_EQ(sim->simLog().lines().back(), "kestr: snap 'maximize' failed: no focused window");
}

// A kest's shortcut applies the kest as stored at the time of the press, anchored on
// the display under the pointer, then hands the applied kest on in a fixed order.
class HotkeyKestPressTest : public HotkeyManagerTest {
protected:
    void SetUp() override {
        HotkeyManagerTest::SetUp();
        addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
        notes = addApp("com.example.Notes", "Notes", {window("Notes", Rect(500, 400, 300, 200))}).pid;
        sim->world().pointer = Point{10, 10};
        auto& m = manager();
        m.setTrackerActiveLayout = [this](const std::optional<Layout>& l) { events.push_back("tracker " + name(l)); };
        m.setOverlayActiveLayout = [this](const std::optional<Layout>& l) { events.push_back("overlays " + name(l)); };
        m.onKestApplied = [this] { events.push_back("applied"); };
    }
    static std::string name(const std::optional<Layout>& l) { return l ? l->name : "none"; }
    Layout notesKest(const std::string& kestName, Rect frame) {
        Layout k = kest(kestName);
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = "com.example.Notes";
        item.appName = "Notes";
        item.targetFrame = frameOn(1, frame.x(), frame.y(), frame.width(), frame.height());
        k.items = {item};
        return k;
    }
    Rect notesFrame() { return sim->world().process(notes)->windows.front().frame(); }
    std::int32_t notes = 0;
    std::vector<std::string> events;
};

TEST_F(HotkeyKestPressTest, PressAppliesTheStoredKestThenSetsItActiveInOrder) {
    Layout k = notesKest("Writing", Rect(0, 25, 720, 875));
    LayoutStore::shared().layouts = {k};
    manager().sync({k}, {});
    // Edited after the sync: the press uses the kest as stored now.
    LayoutStore::shared().layouts[0].items[0].targetFrame.x = 720;
    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);
    EXPECT_TRUE(events.empty());
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(notesFrame(), Rect(720, 25, 720, 875));
    EXPECT_EQ(events, (std::vector<std::string>{"tracker Writing", "overlays Writing", "applied"}));
}

TEST_F(HotkeyKestPressTest, DeletedKestDoesNothing) {
    Layout k = notesKest("Gone", Rect(0, 25, 720, 875));
    manager().sync({k}, {});
    LayoutStore::shared().layouts.clear();
    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(notesFrame(), Rect(500, 400, 300, 200));
    EXPECT_TRUE(events.empty());
}

// A press while another apply waits for a launch is dropped by the apply; it must not
// make the stored kest active with frames that were never applied, nor flash success.
TEST_F(HotkeyKestPressTest, DroppedApplyChangesNothing) {
    SimApplication slow;
    slow.bundleID = "com.example.Slow";
    slow.name = "Slow";
    slow.path = "/Applications/Slow.app";
    slow.firstWindowDelay = 3.0;
    sim->world().install(slow);
    Layout first = notesKest("First", Rect(0, 25, 720, 875));
    first.items[0].appBundleID = "com.example.Slow";
    first.items[0].appName = "Slow";
    Layout second = notesKest("Second", Rect(720, 25, 720, 875));
    LayoutStore::shared().layouts = {first, second};
    manager().sync(LayoutStore::shared().layouts, {});

    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);
    sim->virtualTime().advance(0.5);  // the first apply now waits for Slow's window
    sim->simHotKeys().pressHotKey(19, ctrlOptCmd);
    sim->virtualTime().advance(0.5);
    EXPECT_TRUE(events.empty()) << "the dropped press set nothing";
    EXPECT_EQ(notesFrame(), Rect(500, 400, 300, 200));
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"tracker First", "overlays First", "applied"}));
}

}  // namespace
}  // namespace kestr
