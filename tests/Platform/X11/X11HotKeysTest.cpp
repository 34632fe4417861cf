// Hot keys on the X11 desktop, pressed through XTest as a person would press them, with
// the program's own wiring: a snap key moves the focused window, also with the lock keys
// on; a kest's key applies the kest; a key another client holds is refused and reported
// with nothing left grabbed; a new keymap moves the grabs, and a key it lacks is refused.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <initializer_list>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Layout/KestShortcut.h"
#include "Platform/AXAttributes.h"
#include "Snap/SnapApplier.h"
#include "Support/ItemBuilder.h"
#include "Window/DisplayManager.h"
#include "Platform/X11/Support/BackendTest.h"
#include "Platform/X11/Support/XConnection.h"
#include "Platform/X11/Support/XReads.h"

namespace kestr::x11test {
namespace {

constexpr std::uint32_t altSuper = CarbonModifier::control | CarbonModifier::option;
constexpr std::uint32_t leftArrow = 123;

class X11HotKeysTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure()) return;
        symbols_ = xcb_key_symbols_alloc(connection());
        // As the program wires them.
        HotkeyManager& hotkeys = HotkeyManager::shared();
        hotkeys.applyKest = KestShortcut::apply;
        hotkeys.applySnap = [](SnapAction action) { return SnapApplier::apply(action); };
    }
    void TearDown() override {
        // The server outlives the test: its keymap goes back as it was.
        for (const auto& [key, syms] : savedKeys_) setKeysyms(key, syms);
        if (symbols_) xcb_key_symbols_free(symbols_);
        BackendTest::TearDown();
    }

    xcb_keycode_t keyOf(xcb_keysym_t keysym) {
        xcb_keycode_t* keys = xcb_key_symbols_get_keycode(symbols_, keysym);
        const xcb_keycode_t key = keys ? keys[0] : 0;
        std::free(keys);
        return key;
    }
    void fake(std::uint8_t type, xcb_keycode_t key) {
        xcb_test_fake_input(connection(), type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    // Presses the keys in order and lets go of them in reverse.
    void press(std::initializer_list<xcb_keycode_t> keys) {
        for (xcb_keycode_t key : keys) fake(XCB_KEY_PRESS, key);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) fake(XCB_KEY_RELEASE, *it);
        xcb_flush(connection());
    }
    void pressAltSuper(xcb_keycode_t key) { press({keyOf(XK_Alt_L), keyOf(XK_Super_L), key}); }
    std::uint16_t modifierState() {
        auto* reply = xcb_query_pointer_reply(connection(), xcb_query_pointer(connection(), session().root()), nullptr);
        const std::uint16_t mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask;
    }

    std::vector<xcb_keysym_t> keysymsOf(xcb_keycode_t key) {
        auto* reply =
            xcb_get_keyboard_mapping_reply(connection(), xcb_get_keyboard_mapping(connection(), key, 1), nullptr);
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        std::vector<xcb_keysym_t> out(syms, syms + reply->keysyms_per_keycode);
        std::free(reply);
        return out;
    }
    void setKeysyms(xcb_keycode_t key, const std::vector<xcb_keysym_t>& syms) {
        xcb_change_keyboard_mapping(connection(), 1, key, static_cast<std::uint8_t>(syms.size()), syms.data());
        xcb_flush(connection());
    }
    // Changes what a key types, to be put back after the test.
    void remap(xcb_keycode_t key, xcb_keysym_t keysym) {
        auto syms = keysymsOf(key);
        if (std::none_of(savedKeys_.begin(), savedKeys_.end(), [&](const auto& s) { return s.first == key; }))
            savedKeys_.emplace_back(key, syms);
        std::fill(syms.begin(), syms.end(), keysym);
        setKeysyms(key, syms);
        // A root property change after the new map: the backend has read the map when it
        // sees this event.
        const xcb_atom_t nudge = atom(connection(), "KESTR_TEST_NUDGE");
        const std::uint32_t value = key;
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, session().root(), nudge, XCB_ATOM_CARDINAL, 32, 1,
                            &value);
        xcb_flush(connection());
    }
    xcb_keycode_t unusedKey() {
        const xcb_setup_t* setup = xcb_get_setup(connection());
        for (int key = setup->max_keycode; key > setup->min_keycode; --key) {
            const auto syms = keysymsOf(static_cast<xcb_keycode_t>(key));
            if (std::all_of(syms.begin(), syms.end(), [](xcb_keysym_t s) { return s == 0; }))
                return static_cast<xcb_keycode_t>(key);
        }
        return 0;
    }

    xcb_window_t focusedWindow(const std::string& title) {
        ClientOptions options;
        options.title = title;
        options.wmClass = "KestrEdit";
        options.geometry = ClientGeometry{300, 200, 400, 300};
        const xcb_window_t w = spawn(options).window();
        EXPECT_TRUE(settle([&] {
            const X11Client* c = x11().model().client(w);
            return c && c->mapped && c->extents.top > 0;
        }));
        x11().accessibility().setAttributeValue(x11().accessibility().createApplication(*x11().model().client(w)->pid),
                                                ax::focusedWindow, element(w));
        EXPECT_TRUE(settle([&] { return x11().model().activeWindow() == w; }));
        return w;
    }
    Rect frame(xcb_window_t w) {
        const auto f = frameOf(connection(), w);
        return f ? Rect(f->x, f->y, f->width, f->height) : Rect::null();
    }
    Rect half(bool left) {
        const auto main = x11().displays().mainDisplayID();
        const Rect visible = DisplayManager::visibleAreaLocal(main);
        const Rect bounds = x11().displays().displayBounds(main);
        const double width = visible.width() / 2;
        return Rect(bounds.x() + visible.x() + (left ? 0 : width), bounds.y() + visible.y(), width, visible.height());
    }
    std::vector<HotkeyManager::Conflict> syncSnaps(std::vector<Layout> kests = {}) {
        LayoutStore::shared().layouts = kests;
        return HotkeyManager::shared().sync(kests,
                                            {SnapBinding{Uuid::random(), SnapAction::leftHalf, {leftArrow, altSuper}},
                                             SnapBinding{Uuid::random(), SnapAction::rightHalf, {124, altSuper}}});
    }
    bool logged(const std::string& text) {
        const auto& lines = recordedLog().lines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
    }

    xcb_key_symbols_t* symbols_ = nullptr;
    std::vector<std::pair<xcb_keycode_t, std::vector<xcb_keysym_t>>> savedKeys_;
};

TEST_F(X11HotKeysTest, SnapKeysMoveTheFocusedWindowAlsoWithCapsLockAndNumLockOn) {
    const xcb_window_t w = focusedWindow("snapped by key");
    ASSERT_TRUE(syncSnaps().empty());
    pressAltSuper(keyOf(XK_Left));
    EXPECT_TRUE(settle([&] { return frame(w) == half(true); }));
    pressAltSuper(keyOf(XK_Right));
    EXPECT_TRUE(settle([&] { return frame(w) == half(false); }));

    press({keyOf(XK_Num_Lock)});
    press({keyOf(XK_Caps_Lock)});
    ASSERT_TRUE(waitUntil([&] {
        return (modifierState() & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK)) == (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
    }));
    pressAltSuper(keyOf(XK_Left));
    EXPECT_TRUE(settle([&] { return frame(w) == half(true); }));
    press({keyOf(XK_Num_Lock)});
    press({keyOf(XK_Caps_Lock)});
    EXPECT_TRUE(waitUntil([&] { return (modifierState() & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK)) == 0; }));
}

TEST_F(X11HotKeysTest, AKestsKeyAppliesTheKest) {
    const xcb_window_t w = focusedWindow("placed by its kest");
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Keyed";
    kest.hotkey = Hotkey{18, CarbonModifier::command | CarbonModifier::shift | CarbonModifier::control};
    const std::string display = x11().displays().displayUUIDString(x11().displays().mainDisplayID()).value_or("");
    kest.items = {test::ItemBuilder("KestrEdit").on(display, Rect(100, 80, 700, 500))};
    ASSERT_TRUE(syncSnaps({kest}).empty());
    press({keyOf(XK_Control_L), keyOf(XK_Shift_L), keyOf(XK_Super_L), keyOf(XK_1)});
    EXPECT_TRUE(settle([&] { return frame(w) == Rect(100, 80, 700, 500); })) << frame(w).x() << "," << frame(w).y();
}

TEST_F(X11HotKeysTest, AKeyAnotherClientHoldsIsRefusedReportedAndLeavesNothingGrabbed) {
    XConnection other(session().display());
    const xcb_keycode_t left = keyOf(XK_Left);
    const auto grab = [&](std::uint16_t mask) {
        return xcb_request_check(
            other, xcb_grab_key_checked(other, 0, other.root(), mask, left, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    };
    ASSERT_EQ(grab(XCB_MOD_MASK_1 | XCB_MOD_MASK_4), nullptr);

    const auto conflicts = syncSnaps();
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].source, HotkeySource::snap(SnapAction::leftHalf));
    EXPECT_TRUE(logged("(Alt+Super+\u2190) FAILED to register"));
    // The lock-key grabs that went through before the refusal were taken back.
    for (const std::uint16_t lock : {XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2}) {
        xcb_generic_error_t* error = grab(XCB_MOD_MASK_1 | XCB_MOD_MASK_4 | lock);
        EXPECT_EQ(error, nullptr) << "still grabbed with lock mask " << lock;
        std::free(error);
    }
}

// A window manager that opens its menu on the bare Super key grabs that key with any
// modifiers, as icewm does: every Super chord then goes to it. kestr reports Super as
// held, and its own look at the key leaves nothing grabbed.
TEST_F(X11HotKeysTest, ASuperKeyAnotherClientHoldsItselfIsReportedAsAConflict) {
    ASSERT_TRUE(syncSnaps().empty());
    EXPECT_EQ(HotkeyManager::shared().heldModifiers, 0u);
    EXPECT_TRUE(logged("3 hotkeys registered, 0 conflict(s)"));

    XConnection windowManager(session().display());
    const auto grabSuper = [&](xcb_keysym_t keysym) {
        return xcb_request_check(
            windowManager, xcb_grab_key_checked(windowManager, 0, windowManager.root(), XCB_MOD_MASK_ANY, keyOf(keysym),
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    };
    ASSERT_EQ(grabSuper(XK_Super_L), nullptr) << "kestr left the Super key grabbed";
    ASSERT_EQ(grabSuper(XK_Super_R), nullptr);
    recordedLog().clear();
    EXPECT_TRUE(syncSnaps().empty()) << "the chords themselves are still granted";
    EXPECT_EQ(HotkeyManager::shared().heldModifiers, CarbonModifier::control);
    EXPECT_TRUE(
        logged("the Super key is held by another program (often the window manager): 3 shortcut(s) with "
               "it never reach kestr"));
    EXPECT_TRUE(logged("3 hotkeys registered, 1 conflict(s)"));

    // Who holds it: a window manager known to keep the key is named by the name it
    // announces, with what frees the key; openbox is not one of them.
    EXPECT_FALSE(x11().hotKeys().modifierHolder(CarbonModifier::control));
    const auto checkProperty = atom(windowManager, "_NET_SUPPORTING_WM_CHECK");
    const auto openbox = property32(windowManager, windowManager.root(), "_NET_SUPPORTING_WM_CHECK");
    ASSERT_TRUE(openbox);
    const xcb_window_t check = xcb_generate_id(windowManager);
    xcb_create_window(windowManager, XCB_COPY_FROM_PARENT, check, windowManager.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string name = "IceWM 3.4.5 (Linux 6.1.0/x86_64)";
    xcb_change_property(windowManager, XCB_PROP_MODE_REPLACE, check, atom(windowManager, "_NET_WM_NAME"),
                        atom(windowManager, "UTF8_STRING"), 8, static_cast<std::uint32_t>(name.size()), name.data());
    xcb_change_property(windowManager, XCB_PROP_MODE_REPLACE, windowManager.root(), checkProperty, XCB_ATOM_WINDOW,
                        32, 1, &check);
    std::free(xcb_get_input_focus_reply(windowManager, xcb_get_input_focus(windowManager), nullptr));
    const auto holder = x11().hotKeys().modifierHolder(CarbonModifier::control);
    xcb_change_property(windowManager, XCB_PROP_MODE_REPLACE, windowManager.root(), checkProperty, XCB_ATOM_WINDOW,
                        32, 1, openbox->data());
    xcb_destroy_window(windowManager, check);
    std::free(xcb_get_input_focus_reply(windowManager, xcb_get_input_focus(windowManager), nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->name, "IceWM");
    EXPECT_EQ(holder->howToFree, "put Win95Keys=0 in ~/.icewm/preferences and run icewm --restart");
    EXPECT_FALSE(x11().hotKeys().modifierHolder(CarbonModifier::option)) << "IceWM keeps only Super";

    // Checked requests: the server has let go of both keys before kestr asks again.
    for (const xcb_keysym_t keysym : {XK_Super_L, XK_Super_R}) {
        ASSERT_EQ(xcb_request_check(windowManager, xcb_ungrab_key_checked(windowManager, keyOf(keysym),
                                                                          windowManager.root(), XCB_MOD_MASK_ANY)),
                  nullptr);
    }
    syncSnaps();
    EXPECT_EQ(HotkeyManager::shared().heldModifiers, 0u);
}

TEST_F(X11HotKeysTest, ANewKeymapMovesTheGrabsAndAKeyItLacksIsRefusedByName) {
    const xcb_window_t w = focusedWindow("snapped after a new keymap");
    ASSERT_TRUE(syncSnaps().empty());
    const xcb_keycode_t oldLeft = keyOf(XK_Left);
    const xcb_keycode_t newLeft = unusedKey();
    ASSERT_NE(newLeft, 0);
    remap(oldLeft, XCB_NO_SYMBOL);
    EXPECT_TRUE(settle([&] { return logged("Alt+Super+\u2190 no longer works: this keyboard has no key \u2190"); }));
    remap(newLeft, XK_Left);
    ASSERT_TRUE(settle([&] { return x11().keyTable().xKeycodes(leftArrow) == std::vector<xcb_keycode_t>{newLeft}; }));
    pressAltSuper(newLeft);
    EXPECT_TRUE(settle([&] { return frame(w) == half(true); }));

    recordedLog().clear();
    remap(newLeft, XCB_NO_SYMBOL);
    ASSERT_TRUE(settle([&] { return logged("no longer works"); }));
    const auto conflicts = syncSnaps();
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].source, HotkeySource::snap(SnapAction::leftHalf));
    EXPECT_TRUE(logged("Alt+Super+\u2190 is not registered: this keyboard has no key \u2190"));
    EXPECT_TRUE(logged("(Alt+Super+\u2190) FAILED to register \u2014 this keyboard has no such key"));

    // Drawn only, as the renders do: the keymap is asked, no key taken, nothing logged.
    recordedLog().clear();
    const Hotkey left{leftArrow, altSuper};
    HotkeyManager::shared().plan({}, {SnapBinding{Uuid::random(), SnapAction::leftHalf, left}});
    EXPECT_EQ(HotkeyManager::shared().shownKeys(left), "\u26A0 " + left.displayString());
    EXPECT_TRUE(recordedLog().lines().empty());
}

}  // namespace
}  // namespace kestr::x11test
