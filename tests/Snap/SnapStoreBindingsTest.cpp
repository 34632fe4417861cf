#include <gtest/gtest.h>

#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"

namespace kestr {
namespace {

using A = SnapAction;

std::vector<SnapAction> actionsOf(const std::vector<SnapBinding>& bindings) {
    std::vector<SnapAction> actions;
    for (const SnapBinding& b : bindings) actions.push_back(b.action);
    return actions;
}

TEST(SnapStoreBindingsTest, ClearingAShortcutKeepsTheOthersInOrder) {
    SnapStore store("/nowhere/snaps.json");
    store.bindings = SnapDefaults::magnetBindings();
    auto expected = store.bindings;
    std::erase_if(expected, [](const SnapBinding& b) { return b.action == A::maximize; });

    store.setHotkey(std::nullopt, A::maximize);
    EXPECT_EQ(store.bindings, expected);
    EXPECT_FALSE(store.binding(A::maximize));
}

TEST(SnapStoreBindingsTest, SettingAShortcutLeavesOneNewBindingAtTheEnd) {
    SnapStore store("/nowhere/snaps.json");
    const SnapBinding first{Uuid::random(), A::maximize, {36, 0x1800}};
    const SnapBinding other{Uuid::random(), A::leftHalf, {123, 0x1800}};
    const SnapBinding second{Uuid::random(), A::maximize, {36, 0x1A00}};
    store.bindings = {first, other, second};

    store.setHotkey(Hotkey{46, 0x1900}, A::maximize);
    ASSERT_EQ(actionsOf(store.bindings), (std::vector<SnapAction>{A::leftHalf, A::maximize}));
    EXPECT_EQ(store.bindings[0], other);
    EXPECT_EQ(store.bindings[1].hotkey, (Hotkey{46, 0x1900}));
    EXPECT_NE(store.bindings[1].id, first.id);
    EXPECT_NE(store.bindings[1].id, second.id);
}

TEST(SnapStoreBindingsTest, BindingIsTheFirstOfItsAction) {
    SnapStore store("/nowhere/snaps.json");
    const SnapBinding first{Uuid::random(), A::center, {8, 0x1800}};
    const SnapBinding second{Uuid::random(), A::center, {8, 0x1A00}};
    store.bindings = {first, second};
    EXPECT_EQ(store.binding(A::center), first);
    EXPECT_FALSE(store.binding(A::centerHalf));
}

}  // namespace
}  // namespace kestr
