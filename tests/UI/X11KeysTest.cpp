// The X11 key table agrees with the shortcut recorder's key mapping for every key, and a
// Linux desktop names shortcuts in the order Ctrl, Alt, Shift, Super.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cctype>
#include <set>

#include "Core/Hotkey.h"
#include "Platform/X11/X11KeyTable.h"
#include "Platform/X11/X11Wording.h"
#include "UI/KeyMapping.h"

namespace kestr {
namespace {

// The Qt key a keysym arrives as: Latin-1 keys are their upper-case character, the rest
// are listed.
int qtKeyOf(xcb_keysym_t keysym) {
    if (keysym >= 0x20 && keysym < 0x7f) return std::toupper(static_cast<int>(keysym));
    if (keysym >= XK_F1 && keysym <= XK_F20) return Qt::Key_F1 + static_cast<int>(keysym - XK_F1);
    switch (keysym) {
        case XK_Return:
            return Qt::Key_Return;
        case XK_KP_Enter:
            return Qt::Key_Enter;
        case XK_Tab:
            return Qt::Key_Tab;
        case XK_BackSpace:
            return Qt::Key_Backspace;
        case XK_Escape:
            return Qt::Key_Escape;
        case XK_Delete:
            return Qt::Key_Delete;
        case XK_Help:
            return Qt::Key_Help;
        case XK_Home:
            return Qt::Key_Home;
        case XK_End:
            return Qt::Key_End;
        case XK_Prior:
            return Qt::Key_PageUp;
        case XK_Next:
            return Qt::Key_PageDown;
        case XK_Left:
            return Qt::Key_Left;
        case XK_Right:
            return Qt::Key_Right;
        case XK_Up:
            return Qt::Key_Up;
        case XK_Down:
            return Qt::Key_Down;
        default:
            return 0;
    }
}

TEST(X11KeysTest, TheKeyTableAndTheRecordersMappingAgreeOnEveryKey) {
    std::set<std::uint32_t> x11Codes;
    for (const X11KeyTable::Key& key : X11KeyTable::keys()) {
        EXPECT_TRUE(x11Codes.insert(key.keyCode).second) << "key code " << key.keyCode << " twice";
        EXPECT_EQ(X11KeyTable::keyCode(key.keysym), key.keyCode) << "keysym " << key.keysym << " twice";
        const auto recorded = virtualKeyCode(qtKeyOf(key.keysym));
        EXPECT_EQ(recorded, std::optional<std::uint16_t>(key.keyCode)) << "keysym " << key.keysym;
    }
    // Every key code the recorder can give, over all of Qt's keys.
    std::set<std::uint32_t> recorderCodes;
    for (int qtKey = 0x20; qtKey < 0x7f; ++qtKey)
        if (auto code = virtualKeyCode(qtKey)) recorderCodes.insert(*code);
    for (int qtKey = Qt::Key_Escape; qtKey <= Qt::Key_Direction_R; ++qtKey)
        if (auto code = virtualKeyCode(qtKey)) recorderCodes.insert(*code);
    EXPECT_EQ(x11Codes, recorderCodes);

    EXPECT_EQ(X11KeyTable::xModifiers(CarbonModifier::control | CarbonModifier::option),
              XCB_MOD_MASK_4 | XCB_MOD_MASK_1);
    EXPECT_EQ(
        X11KeyTable::carbonModifiers(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2),
        CarbonModifier::command | CarbonModifier::shift);
}

TEST(X11KeysTest, ShortcutsAreNamedAsThisKeyboardLabelsThem) {
    const X11Wording words;
    const auto named = [&](Hotkey h) { return words.shortcut(h.modifiers, Hotkey::label(h.keyCode)); };
    EXPECT_EQ(named({123, CarbonModifier::control | CarbonModifier::option}), "Alt+Super+\u2190");
    EXPECT_EQ(named({36, 0x1900}), "Ctrl+Alt+Super+\u21A9");
    EXPECT_EQ(named({18, CarbonModifier::control | CarbonModifier::shift | CarbonModifier::command}),
              "Ctrl+Shift+Super+1");
    EXPECT_EQ(named({0, 0}), "A");
    EXPECT_EQ(words.shortcut(CarbonModifier::control | CarbonModifier::option | CarbonModifier::shift, ""),
              "Alt+Shift+Super");
    EXPECT_EQ(words.modifierKey(CarbonModifier::command), "Ctrl");
    // Keys without a glyph of their own go by what their caps say.
    EXPECT_EQ(words.shortcut(CarbonModifier::command | CarbonModifier::shift, words.keyName(96)), "Ctrl+Shift+F5");
    EXPECT_EQ(words.keyName(90), "F20");
    EXPECT_EQ(words.keyName(116), "PgUp");
    EXPECT_EQ(words.keyName(123), "\u2190");
}

}  // namespace
}  // namespace kestr
