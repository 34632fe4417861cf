#include "Snap/SnapConflicts.h"

#include <gtest/gtest.h>

#include "Snap/SnapDefaults.h"

namespace kestr {
namespace {

using A = SnapAction;
using Result = std::map<SnapAction, std::string>;

constexpr std::uint32_t ctrlOpt = 0x1800;
const Hotkey ctrlOptLeft{123, ctrlOpt};
const Hotkey ctrlOptC{8, ctrlOpt};

SnapBinding bind(A::Value action, Hotkey hotkey) { return SnapBinding{Uuid::random(), action, hotkey}; }

TEST(SnapConflictsTest, ActionsOnOneShortcutNameTheFirstOtherBeforeAnyReservedName) {
    const std::vector<SnapBinding> three{bind(A::center, ctrlOptC), bind(A::maximize, {36, ctrlOpt}),
                                         bind(A::centerHalf, ctrlOptC), bind(A::centerThird, ctrlOptC)};
    EXPECT_EQ(
        SnapConflicts::detect(three, {{ctrlOptC, "Kest: Work"}}),
        (Result{{A::center, "Snap: Center Half"}, {A::centerHalf, "Snap: Center"}, {A::centerThird, "Snap: Center"}}));
    // The first reserved owner wins; modifiers must match too.
    const std::vector<SnapConflicts::Reserved> reserved{
        {{123, 0x1900}, "Kest: Other"}, {ctrlOptLeft, "Kest: Work"}, {ctrlOptLeft, "Save current windows"}};
    EXPECT_EQ(SnapConflicts::detect({bind(A::leftHalf, ctrlOptLeft)}, reserved), (Result{{A::leftHalf, "Kest: Work"}}));
    EXPECT_TRUE(SnapConflicts::detect({bind(A::center, ctrlOptC), bind(A::centerHalf, {8, 0x1A00})}, reserved).empty());
}

TEST(SnapConflictsTest, DefaultsCoverEveryActionAndCollideWithNothingReservedByDefault) {
    const auto defaults = SnapDefaults::magnetBindings();
    EXPECT_EQ(defaults.size(), A::allCases().size());
    EXPECT_TRUE(SnapConflicts::detect(defaults, {{{36, 0x1900}, "Save current windows"}}).empty());
}

}  // namespace
}  // namespace kestr
