#include "Snap/SnapDefaults.h"

#include <cstdint>

namespace kestr::SnapDefaults {

namespace {

// Virtual key codes of the ANSI layout.
namespace Key {
constexpr std::uint32_t a = 0, s = 1, d = 2, f = 3, h = 4, g = 5, c = 8, q = 12, w = 13, e = 14, r = 15, t = 17,
                        one = 18, two = 19, three = 20, four = 21, equal = 24, minus = 27, u = 32, i = 34, j = 38,
                        k = 40, returnKey = 36, deleteKey = 51, left = 123, right = 124, down = 125, up = 126;
}  // namespace Key

constexpr std::uint32_t ctrlOpt = CarbonModifier::control | CarbonModifier::option;
constexpr std::uint32_t ctrlOptShift = ctrlOpt | CarbonModifier::shift;
constexpr std::uint32_t ctrlOptCmd = ctrlOpt | CarbonModifier::command;

struct Entry {
    SnapAction::Value action;
    std::uint32_t keyCode;
    std::uint32_t modifiers;
};

// Restore stands before the two size actions here, unlike the declaration order.
constexpr Entry table[] = {
    {SnapAction::leftHalf, Key::left, ctrlOpt},
    {SnapAction::rightHalf, Key::right, ctrlOpt},
    {SnapAction::topHalf, Key::up, ctrlOpt},
    {SnapAction::bottomHalf, Key::down, ctrlOpt},
    {SnapAction::centerHalf, Key::c, ctrlOptShift},
    {SnapAction::topLeftQuarter, Key::u, ctrlOpt},
    {SnapAction::topRightQuarter, Key::i, ctrlOpt},
    {SnapAction::bottomLeftQuarter, Key::j, ctrlOpt},
    {SnapAction::bottomRightQuarter, Key::k, ctrlOpt},
    {SnapAction::firstThird, Key::d, ctrlOpt},
    {SnapAction::centerThird, Key::f, ctrlOpt},
    {SnapAction::lastThird, Key::g, ctrlOpt},
    {SnapAction::firstTwoThirds, Key::e, ctrlOpt},
    {SnapAction::centerTwoThirds, Key::r, ctrlOpt},
    {SnapAction::lastTwoThirds, Key::t, ctrlOpt},
    {SnapAction::firstFourth, Key::one, ctrlOpt},
    {SnapAction::secondFourth, Key::two, ctrlOpt},
    {SnapAction::thirdFourth, Key::three, ctrlOpt},
    {SnapAction::lastFourth, Key::four, ctrlOpt},
    {SnapAction::firstThreeFourths, Key::one, ctrlOptShift},
    {SnapAction::centerThreeFourths, Key::two, ctrlOptShift},
    {SnapAction::lastThreeFourths, Key::three, ctrlOptShift},
    {SnapAction::topLeftSixth, Key::q, ctrlOptShift},
    {SnapAction::topCenterSixth, Key::w, ctrlOptShift},
    {SnapAction::topRightSixth, Key::e, ctrlOptShift},
    {SnapAction::bottomLeftSixth, Key::a, ctrlOptShift},
    {SnapAction::bottomCenterSixth, Key::s, ctrlOptShift},
    {SnapAction::bottomRightSixth, Key::d, ctrlOptShift},
    {SnapAction::maximize, Key::returnKey, ctrlOpt},
    {SnapAction::almostMaximize, Key::returnKey, ctrlOptShift},
    {SnapAction::maximizeHeight, Key::h, ctrlOpt},
    {SnapAction::center, Key::c, ctrlOpt},
    {SnapAction::restore, Key::deleteKey, ctrlOpt},
    {SnapAction::smallerSize, Key::minus, ctrlOpt},
    {SnapAction::largerSize, Key::equal, ctrlOpt},
    {SnapAction::moveLeft, Key::left, ctrlOptShift},
    {SnapAction::moveRight, Key::right, ctrlOptShift},
    {SnapAction::moveUp, Key::up, ctrlOptShift},
    {SnapAction::moveDown, Key::down, ctrlOptShift},
    {SnapAction::nextDisplay, Key::right, ctrlOptCmd},
    {SnapAction::previousDisplay, Key::left, ctrlOptCmd},
};

}  // namespace

std::vector<SnapBinding> magnetBindings() {
    std::vector<SnapBinding> bindings;
    bindings.reserve(std::size(table));
    for (const Entry& entry : table) {
        bindings.push_back(SnapBinding{Uuid::random(), entry.action, Hotkey{entry.keyCode, entry.modifiers}});
    }
    return bindings;
}

}  // namespace kestr::SnapDefaults
