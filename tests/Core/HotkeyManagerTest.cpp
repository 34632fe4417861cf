// Registration order, automatic digits, refusals, dispatch of presses and what a kest's
// shortcut does once its apply has returned.
#include <gtest/gtest.h>

#include <algorithm>

#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
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
        std::vector<Layout> out(count);
        for (auto& k : out) k = kest("Kest");
        return out;
    }
    static SnapBinding snap(SnapAction action, Hotkey hotkey) { return SnapBinding{Uuid::random(), action, hotkey}; }
    std::vector<std::uint32_t> registeredKeyCodes() {
        std::vector<std::uint32_t> out;
        for (const auto& r : manager().registrations) out.push_back(r.hotkey.keyCode);
        return out;
    }
};

TEST_F(HotkeyManagerTest, KestsGetTheFreeDigitsInOrderAndPressesDispatchByIdentifier) {
    auto layouts = kests(12);
    const auto conflicts = manager().sync(layouts, {snap(SnapAction::leftHalf, Hotkey{123, 0x1800})});
    EXPECT_TRUE(conflicts.empty());
    EXPECT_EQ(registeredKeyCodes(), (std::vector<std::uint32_t>{18, 19, 20, 21, 23, 22, 26, 28, 25, 36, 123}));
    EXPECT_EQ(manager().effectiveHotkey(layouts[9].id), std::nullopt);
    EXPECT_EQ(sim->simLog().lines().back(),
              "kestr[hotkey]: 11 hotkeys registered, 0 conflict(s); 1 snap(s) + 12 kest(s) requested");

    // A kest's own digit shortcut reserves that digit for the whole sync; other modifiers do not.
    layouts = kests(4);
    layouts.insert(layouts.begin() + 3, {kest("Own 3", Hotkey{20, ctrlOptCmd}), kest("Other", Hotkey{21, 0x900})});
    manager().sync(layouts, {});
    EXPECT_EQ(registeredKeyCodes(), (std::vector<std::uint32_t>{18, 19, 21, 20, 21, 23, 36}));
    EXPECT_FALSE(manager().registrations[3].autoAssigned);

    // Presses dispatch by identifier, inside the callback, unless suspended.
    int captures = 0;
    manager().captureHandler = [&] { ++captures; };
    manager().sync({}, {});  // the capture shortcut alone
    sim->simHotKeys().pressHotKey(36, ctrlOptCmd);
    manager().suspended = true;
    sim->simHotKeys().pressHotKey(36, ctrlOptCmd);
    manager().suspended = false;
    EXPECT_EQ(captures, 1);
    // A press carrying an identifier from before the last sync does nothing.
    const std::uint32_t oldID = manager().handlers.begin()->first;
    manager().sync({}, {});
    HotKeyEvent stale{EventHotKeyID{HotkeyManager::signature, oldID}};
    EXPECT_EQ(sim->simHotKeys().deliver(&stale), HotKeyStatus::noErr);
    EXPECT_EQ(captures, 1);
}

TEST_F(HotkeyManagerTest, RefusalsBecomeConflictsAndNeverReuseADigit) {
    sim->simHotKeys().holdByOtherProgram(18, ctrlOptCmd);  // digit 1 held elsewhere
    auto layouts = kests(2);
    layouts.insert(layouts.end(), {kest("Same as first own", Hotkey{0, 0x100}), kest("Duplicate", Hotkey{0, 0x100})});
    const auto conflicts = manager().sync(layouts, {snap(SnapAction::rightHalf, Hotkey{19, ctrlOptCmd}),
                                                    snap(SnapAction::maximize, Hotkey{36, ctrlOptCmd})});
    ASSERT_EQ(conflicts.size(), 4u);
    EXPECT_EQ(conflicts[0],
              (HotkeyManager::Conflict{HotkeySource::layout(layouts[0].id), Hotkey{18, ctrlOptCmd}, std::nullopt}));
    EXPECT_EQ(manager().effectiveHotkey(layouts[1].id), (Hotkey{19, ctrlOptCmd})) << "the next digit, not the same";
    EXPECT_EQ(conflicts[1].source, HotkeySource::layout(layouts[3].id)) << "the later kest loses";
    EXPECT_EQ(conflicts[3].source, HotkeySource::snap(SnapAction::maximize)) << "the capture shortcut came first";
    // kestr's own holders are named, never "another app".
    EXPECT_EQ(conflicts[1].heldBy, HotkeySource::layout(layouts[2].id));
    EXPECT_EQ(conflicts[3].heldBy, HotkeySource::captureCurrent());
    EXPECT_EQ(manager().heldByOtherPrograms, std::vector<HotkeyManager::Conflict>{conflicts[0]})
        << "only the key another program holds";
    manager().sync({}, {});
    EXPECT_TRUE(manager().heldByOtherPrograms.empty());
    // Each refusal kestr's own shortcut causes is named with its keys and both owners;
    // one another program causes only for a snap, the rest are counted.
    const auto& lines = sim->simLog().lines();
    for (const char* line : {"kestr[hotkey]: snap 'maximize' (⌃⌥⌘↩) FAILED to register — already used by kestr's "
                             "capture shortcut",
                             "kestr[hotkey]: kest “Duplicate” (⌘A) FAILED to register — already used by kestr's kest "
                             "“Same as first own”",
                             "kestr[hotkey]: 3 hotkeys registered, 4 conflict(s); 2 snap(s) + 4 kest(s) requested"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("FAILED to register") != std::string::npos; }),
              3);
}

// Many kests on one shortcut: the log names the first refusals and counts the rest in one
// line, as the list the start-up writes does; the kest that holds a key is named as the
// last synchronisation had it, so a rename shows at the next one.
TEST_F(HotkeyManagerTest, ManyRefusalsAreNamedFirstThenCountedByTheKestsCurrentNames) {
    const Hotkey shared{0, CarbonModifier::command};
    std::vector<Layout> layouts;
    for (int i = 0; i < 30; ++i) layouts.push_back(kest("K" + std::to_string(i), shared));
    const auto conflicts = manager().sync(layouts, {});
    ASSERT_EQ(conflicts.size(), 29u);
    const auto& lines = sim->simLog().lines();
    const std::vector<std::string> tail(lines.end() - 3, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "kestr[hotkey]: kest “K10” (⌘A) FAILED to register — already used by kestr's kest “K0”",
                        "kestr[hotkey]: … and 19 more hotkey(s) FAILED to register",
                        "kestr[hotkey]: 2 hotkeys registered, 29 conflict(s); 0 snap(s) + 30 kest(s) requested"}));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("FAILED to register") != std::string::npos; }),
              11);
    const std::string listed = heldByKestr(conflicts, layouts);
    EXPECT_TRUE(listed.starts_with("kest “K1” (⌘A, held by kest “K0”), kest “K2”")) << listed;
    EXPECT_TRUE(listed.ends_with("kest “K10” (⌘A, held by kest “K0”), and 19 more")) << listed;

    const auto why = [&] { return manager().whyNotArriving(shared, HotkeySource::layout(layouts[5].id)); };
    EXPECT_EQ(why(), "kestr's kest “\u2068K0\u2069” uses this shortcut, so it never runs this");
    layouts[0].name = "Renamed";
    manager().sync(layouts, {});
    EXPECT_EQ(why(), "kestr's kest “\u2068Renamed\u2069” uses this shortcut, so it never runs this");
}

// A modifier whose own key another program holds swallows every shortcut with it: one
// conflict naming it, while the shortcuts stay registered for when the key is free.
TEST_F(HotkeyManagerTest, AModifierHeldElsewhereIsOneConflictNamingIt) {
    sim->simHotKeys().heldModifiers = CarbonModifier::control | CarbonModifier::shift;
    const auto conflicts = manager().sync(
        {}, {snap(SnapAction::leftHalf, Hotkey{123, 0x1800}), snap(SnapAction::rightHalf, Hotkey{124, 0x900})});
    EXPECT_TRUE(conflicts.empty());
    EXPECT_EQ(manager().registrations.size(), 3u);
    EXPECT_EQ(manager().heldModifiers, CarbonModifier::control) << "no shortcut uses Shift";
    const std::vector<std::string> tail(sim->simLog().lines().end() - 2, sim->simLog().lines().end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "kestr[hotkey]: the \u2303 Control key is held by another program (often the window "
                        "manager): 2 shortcut(s) with it never reach kestr",
                        "kestr[hotkey]: 3 hotkeys registered, 1 conflict(s); 2 snap(s) + 0 kest(s) requested"}));

    sim->simHotKeys().heldModifiers = 0;
    manager().sync({}, {});
    EXPECT_EQ(manager().heldModifiers, 0u);
}

// A key another program holds never arrives either; the status button's summary names
// who keeps a modifier, where the desktop tells.
TEST_F(HotkeyManagerTest, KeysHeldElsewhereNeverArriveAndTheSummaryNamesTheHolder) {
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    sim->simHotKeys().holder = ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences"};
    const Hotkey taken{125, 0x900};
    sim->simHotKeys().holdByOtherProgram(taken.keyCode, taken.modifiers);
    manager().sync({}, {snap(SnapAction::leftHalf, Hotkey{123, 0x1800}), snap(SnapAction::bottomHalf, taken)});
    EXPECT_EQ(manager().shownKeys(taken), "\u26A0 " + taken.displayString());
    EXPECT_EQ(manager().whyNotArriving(taken), "Another program holds this shortcut, so it never reaches kestr");
    // The capture shortcut (⌃⌥⌘↩) and the left half have the key.
    EXPECT_EQ(manager().heldKeysSummary(), "IceWM keeps the \u2303 Control key for itself: 2 shortcuts never arrive");

    sim->simHotKeys().holder.reset();
    manager().sync({}, {});
    EXPECT_EQ(manager().heldKeysSummary(),
              "Another program keeps the \u2303 Control key for itself: 1 shortcut never arrives");
    sim->simHotKeys().heldModifiers = 0;
    manager().sync({}, {});
    EXPECT_EQ(manager().heldKeysSummary(), std::nullopt);
}

// What a kest's shortcut does once its apply has returned, with the apply faked.
TEST_F(HotkeyManagerTest, KestPressesApplyTheStoredKestAndHandItOnOnlyWhenApplied) {
    std::vector<std::string> events;
    std::optional<Layout> result;
    manager().applyKest = [&](Layout layout) -> Task<std::optional<Layout>> {
        events.push_back("apply " + layout.name);
        co_return result;
    };
    manager().setTrackerActiveLayout = [&](const std::optional<Layout>& l) {
        events.push_back("tracker " + l.value().name);
    };
    manager().setOverlayActiveLayout = [&](const std::optional<Layout>& l) {
        events.push_back("overlays " + l.value().name);
    };
    manager().onKestApplied = [&] { events.push_back("applied"); };
    auto& stored = LayoutStore::shared().layouts;
    stored = {kest("First"), kest("Second")};
    manager().sync(stored, {});

    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);  // dropped: nothing is handed on
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"apply First"}));

    // The kest as stored at the time of the press; the applied one is handed on.
    stored[1].name = "Renamed";
    result = kest("As applied");
    events.clear();
    sim->simHotKeys().pressHotKey(19, ctrlOptCmd);
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(events,
              (std::vector<std::string>{"apply Renamed", "tracker As applied", "overlays As applied", "applied"}));

    // A deleted kest's old shortcut does nothing.
    stored.erase(stored.begin());
    events.clear();
    sim->simHotKeys().pressHotKey(18, ctrlOptCmd);
    sim->virtualTime().runUntilIdle();
    EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace kestr
