#include "Snap/SnapDefaults.h"

#include <set>
#include <utility>

#include <gtest/gtest.h>

namespace kestr {
namespace {

using A = SnapAction;

TEST(SnapDefaultsTest, OneBindingPerActionAndNoSharedShortcut) {
    const auto bindings = SnapDefaults::magnetBindings();
    ASSERT_EQ(bindings.size(), 41u);
    std::set<std::string> actions;
    std::set<std::pair<std::uint32_t, std::uint32_t>> shortcuts;
    std::set<Uuid> ids;
    for (const SnapBinding& b : bindings) {
        actions.insert(b.action.rawValue());
        shortcuts.insert({b.hotkey.keyCode, b.hotkey.modifiers});
        ids.insert(b.id);
    }
    EXPECT_EQ(actions.size(), 41u);
    EXPECT_EQ(shortcuts.size(), 41u);
    EXPECT_EQ(ids.size(), 41u);
}

TEST(SnapDefaultsTest, DeclarationOrderExceptRestoreBeforeTheSizes) {
    std::vector<SnapAction> expected = A::allCases();
    // largerSize, smallerSize, restore -> restore, smallerSize, largerSize
    std::swap(expected[A::largerSize], expected[A::restore]);
    std::vector<SnapAction> actual;
    for (const SnapBinding& b : SnapDefaults::magnetBindings()) actual.push_back(b.action);
    EXPECT_EQ(actual, expected);
}

TEST(SnapDefaultsTest, KnownShortcuts) {
    const auto bindings = SnapDefaults::magnetBindings();
    auto hotkeyOf = [&](A::Value action) {
        for (const SnapBinding& b : bindings) {
            if (b.action == action) return b.hotkey;
        }
        return Hotkey{};
    };
    EXPECT_EQ(hotkeyOf(A::leftHalf), (Hotkey{123, 0x1800}));
    EXPECT_EQ(hotkeyOf(A::centerHalf), (Hotkey{8, 0x1A00}));
    EXPECT_EQ(hotkeyOf(A::bottomLeftSixth), (Hotkey{0, 0x1A00}));
    EXPECT_EQ(hotkeyOf(A::restore), (Hotkey{51, 0x1800}));
    EXPECT_EQ(hotkeyOf(A::largerSize), (Hotkey{24, 0x1800}));
    EXPECT_EQ(hotkeyOf(A::previousDisplay), (Hotkey{123, 0x1900}));
}

TEST(SnapDefaultsTest, EveryReadMakesFreshIdentifiers) {
    const auto first = SnapDefaults::magnetBindings();
    const auto second = SnapDefaults::magnetBindings();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].action, second[i].action);
        EXPECT_EQ(first[i].hotkey, second[i].hotkey);
        EXPECT_NE(first[i].id, second[i].id);
    }
}

}  // namespace
}  // namespace kestr
