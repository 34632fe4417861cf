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

TEST(SnapConflictsTest, NoBindingsNoConflicts) {
    EXPECT_TRUE(SnapConflicts::detect({}, {{ctrlOptLeft, "Kest: Work"}}).empty());
}

TEST(SnapConflictsTest, ActionsOnOneShortcutNameTheFirstOtherInStoreOrder) {
    EXPECT_EQ(SnapConflicts::detect({bind(A::leftHalf, ctrlOptLeft), bind(A::moveLeft, ctrlOptLeft)}, {}),
              (Result{{A::leftHalf, "Snap: Move Left"}, {A::moveLeft, "Snap: Left Half"}}));

    const std::vector<SnapBinding> three{bind(A::center, ctrlOptC), bind(A::maximize, {36, ctrlOpt}),
                                         bind(A::centerHalf, ctrlOptC), bind(A::centerThird, ctrlOptC)};
    EXPECT_EQ(SnapConflicts::detect(three, {}), (Result{{A::center, "Snap: Center Half"},
                                                        {A::centerHalf, "Snap: Center"},
                                                        {A::centerThird, "Snap: Center"}}));
}

TEST(SnapConflictsTest, SnapCollisionWinsOverReservedAndFirstReservedWins) {
    const std::vector<SnapConflicts::Reserved> reserved{
        {{123, 0x1900}, "Kest: Other"}, {ctrlOptLeft, "Kest: Work"}, {ctrlOptLeft, "Save current windows"}};
    EXPECT_EQ(SnapConflicts::detect({bind(A::leftHalf, ctrlOptLeft), bind(A::moveLeft, ctrlOptLeft)}, reserved),
              (Result{{A::leftHalf, "Snap: Move Left"}, {A::moveLeft, "Snap: Left Half"}}));
    EXPECT_EQ(SnapConflicts::detect({bind(A::leftHalf, ctrlOptLeft)}, reserved),
              (Result{{A::leftHalf, "Kest: Work"}}));
    EXPECT_EQ(SnapConflicts::detect({bind(A::maximize, {36, 0x1900})}, {{{36, 0x1900}, "Save current windows"}}),
              (Result{{A::maximize, "Save current windows"}}));
}

TEST(SnapConflictsTest, ModifiersMustMatchToo) {
    EXPECT_TRUE(SnapConflicts::detect({bind(A::center, ctrlOptC), bind(A::centerHalf, {8, 0x1A00})},
                                      {{{8, 0x1A00 | 0x100}, "Kest: Work"}})
                    .empty());
}

TEST(SnapConflictsTest, TwoBindingsOfOneAction) {
    // Same action, same shortcut: no collision with itself.
    EXPECT_TRUE(SnapConflicts::detect({bind(A::maximize, ctrlOptC), bind(A::maximize, ctrlOptC)}, {}).empty());
    // A later binding without a collision leaves the earlier entry ...
    EXPECT_EQ(SnapConflicts::detect({bind(A::maximize, ctrlOptC), bind(A::maximize, {36, ctrlOpt})},
                                    {{ctrlOptC, "Kest: Work"}}),
              (Result{{A::maximize, "Kest: Work"}}));
    // ... and a later collision replaces it.
    EXPECT_EQ(SnapConflicts::detect({bind(A::maximize, ctrlOptC), bind(A::maximize, ctrlOptLeft),
                                     bind(A::leftHalf, ctrlOptLeft)},
                                    {{ctrlOptC, "Kest: Work"}}),
              (Result{{A::maximize, "Snap: Left Half"}, {A::leftHalf, "Snap: Maximize"}}));
}

TEST(SnapConflictsTest, DefaultsCollideWithNothingButTheDefaultCaptureShortcutIsFree) {
    EXPECT_TRUE(SnapConflicts::detect(SnapDefaults::magnetBindings(), {{{36, 0x1900}, "Save current windows"}})
                    .empty());
}

}  // namespace
}  // namespace kestr
