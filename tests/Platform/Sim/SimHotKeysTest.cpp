#include "Platform/Sim/SimHotKeys.h"

#include <gtest/gtest.h>

namespace kestr {
namespace {

constexpr std::uint32_t kVK_1 = 18;
constexpr std::uint32_t ctrlOptCmd = 0x1000 | 0x0800 | 0x0100;

TEST(SimHotKeys, SameKeyTwiceIsRefusedWithoutAReference) {
    SimHotKeys keys;
    const auto first = keys.registerHotKey(kVK_1, ctrlOptCmd, {fourCharCode("SKST"), 1});
    EXPECT_EQ(first.status, HotKeyStatus::noErr);
    ASSERT_TRUE(first.reference);
    const auto again = keys.registerHotKey(kVK_1, ctrlOptCmd, {fourCharCode("SKST"), 2});
    EXPECT_EQ(again.status, HotKeyStatus::eventHotKeyExists);
    EXPECT_FALSE(again.reference);
    // Other modifiers make another key.
    EXPECT_EQ(keys.registerHotKey(kVK_1, 0x0100, {fourCharCode("SKST"), 3}).status, HotKeyStatus::noErr);
    EXPECT_EQ(keys.unregisterHotKey(*first.reference), HotKeyStatus::noErr);
    EXPECT_EQ(keys.unregisterHotKey(*first.reference), HotKeyStatus::eventHotKeyInvalid);
    const auto afterRelease = keys.registerHotKey(kVK_1, ctrlOptCmd, {fourCharCode("SKST"), 4});
    EXPECT_EQ(afterRelease.status, HotKeyStatus::noErr);
    EXPECT_NE(afterRelease.reference, first.reference);
    ASSERT_EQ(keys.registrations().size(), 2u);
    EXPECT_EQ(keys.registrations()[1].id, (EventHotKeyID{fourCharCode("SKST"), 4}));
}

TEST(SimHotKeys, KeyHeldByAnotherProgramIsRefused) {
    SimHotKeys keys;
    keys.holdByOtherProgram(kVK_1, ctrlOptCmd);
    EXPECT_EQ(keys.registerHotKey(kVK_1, ctrlOptCmd, {1, 1}).status, HotKeyStatus::eventHotKeyExists);
    keys.releaseByOtherProgram(kVK_1, ctrlOptCmd);
    EXPECT_EQ(keys.registerHotKey(kVK_1, ctrlOptCmd, {1, 1}).status, HotKeyStatus::noErr);
}

TEST(SimHotKeys, PressesReachTheHandlerOnlyForRegisteredKeys) {
    SimHotKeys keys;
    std::vector<std::optional<EventHotKeyID>> seen;
    keys.installApplicationHandler([&](const HotKeyEvent* event) {
        seen.push_back(event ? event->directObject : std::nullopt);
        return HotKeyStatus::noErr;
    });
    keys.registerHotKey(kVK_1, ctrlOptCmd, {fourCharCode("SKST"), 7});
    EXPECT_TRUE(keys.pressHotKey(kVK_1, ctrlOptCmd));
    EXPECT_FALSE(keys.pressHotKey(kVK_1, 0));
    const HotKeyEvent bare{};
    EXPECT_EQ(keys.deliver(&bare), HotKeyStatus::noErr);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (EventHotKeyID{fourCharCode("SKST"), 7}));
    EXPECT_FALSE(seen[1]);
}

TEST(SimHotKeys, HandlerMayReregisterEveryKeyWhileItRuns) {
    SimHotKeys keys;
    std::uint64_t reference = *keys.registerHotKey(kVK_1, ctrlOptCmd, {1, 1}).reference;
    int calls = 0;
    keys.installApplicationHandler([&](const HotKeyEvent*) {
        ++calls;
        keys.unregisterHotKey(reference);
        reference = *keys.registerHotKey(kVK_1, ctrlOptCmd, {1, 2}).reference;
        return HotKeyStatus::noErr;
    });
    EXPECT_TRUE(keys.pressHotKey(kVK_1, ctrlOptCmd));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(keys.registrations().size(), 1u);
}

}  // namespace
}  // namespace kestr
