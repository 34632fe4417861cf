#include "Core/Hotkey.h"

#include <gtest/gtest.h>

#include "Platform/EventMonitors.h"

namespace kestr {
namespace {

TEST(Hotkey, DisplayStringOrdersModifiersControlOptionShiftCommand) {
    EXPECT_EQ((Hotkey{36, 0x1900}).displayString(), "⌃⌥⌘↩");
    EXPECT_EQ((Hotkey{0, 0x1B00}).displayString(), "⌃⌥⇧⌘A");
    EXPECT_EQ((Hotkey{0, 0}).displayString(), "A");
    // Bits other than the four modifiers are ignored.
    EXPECT_EQ((Hotkey{1, 0x200 | 0x1 | 0x400 | 0x80000000}).displayString(), "⇧S");
}

TEST(Hotkey, LabelsOfEveryKeyCode) {
    const std::string expected[127] = {
        "A", "S", "D", "F", "H", "G", "Z", "X", "C", "V", "", "B", "Q", "W", "E", "R", "Y", "T", "1", "2",
        "3", "4", "6", "5", "=", "9", "7", "−", "8", "0", "]", "O", "U", "[", "I", "P", "↩", "L", "J", "'",
        "K", ";", "\\", ",", "/", "N", "M", ".", "⇥", "␣", "`", "⌫", "", "⎋"};
    const char* arrows[] = {"←", "→", "↓", "↑"};
    for (std::uint32_t code = 0; code < 200; ++code) {
        std::string want = code < 54 ? expected[code] : "";
        if (code == 76) want = "↩";
        if (code == 117) want = "⌦";
        if (code >= 123 && code <= 126) want = arrows[code - 123];
        if (want.empty()) want = "?" + std::to_string(code);
        EXPECT_EQ(Hotkey::label(code), want) << code;
    }
    EXPECT_EQ(Hotkey::label(4294967295u), "?4294967295");
}

TEST(Hotkey, MenuKeyEquivalentsOnlyForLettersDigitsAndTwoSigns) {
    const std::string letters = "asdfhgzxcv";
    for (std::uint32_t c = 0; c < 10; ++c) EXPECT_EQ((Hotkey{c, 0}).menuKeyEquivalent(), letters.substr(c, 1));
    EXPECT_EQ((Hotkey{27, 0}).menuKeyEquivalent(), "-");
    EXPECT_EQ((Hotkey{24, 0}).menuKeyEquivalent(), "=");
    EXPECT_EQ((Hotkey{22, 0}).menuKeyEquivalent(), "6");
    EXPECT_EQ((Hotkey{46, 0x100}).menuKeyEquivalent(), "m");
    for (std::uint32_t c : {10u, 30u, 33u, 36u, 39u, 41u, 42u, 43u, 44u, 47u, 76u, 122u, 126u, 1000u})
        EXPECT_EQ((Hotkey{c, 0}).menuKeyEquivalent(), "") << c;
}

TEST(Hotkey, CarbonModifiersKeepOnlyTheFourModifiers) {
    using namespace ModifierFlag;
    EXPECT_EQ(Hotkey::carbonModifiers(command | capsLock), 0x100u);
    EXPECT_EQ(Hotkey::carbonModifiers(control | option | command), 0x1900u);
    EXPECT_EQ(Hotkey::carbonModifiers(shift), 0x200u);
    EXPECT_EQ(Hotkey::carbonModifiers(function | numericPad | help | capsLock | 0xFFFF), 0u);
    EXPECT_EQ(Hotkey::carbonModifiers(~std::uint64_t{0}), 0x1B00u);
}

}  // namespace
}  // namespace kestr
