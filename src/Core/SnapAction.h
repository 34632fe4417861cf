// The vocabulary of keyboard snapping: 41 named placements of the focused window, each
// with a stable raw name (stored in snaps.json and written in log lines), a title, and
// for all but restore and the two display moves a target rectangle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Geometry.h"

namespace kestr {

class SnapAction {
public:
    // Declaration order is the order of allCases().
    enum Value : std::uint8_t {
        leftHalf,
        rightHalf,
        topHalf,
        bottomHalf,
        centerHalf,
        topLeftQuarter,
        topRightQuarter,
        bottomLeftQuarter,
        bottomRightQuarter,
        firstThird,
        centerThird,
        lastThird,
        firstTwoThirds,
        centerTwoThirds,
        lastTwoThirds,
        firstFourth,
        secondFourth,
        thirdFourth,
        lastFourth,
        firstThreeFourths,
        centerThreeFourths,
        lastThreeFourths,
        topLeftSixth,
        topCenterSixth,
        topRightSixth,
        bottomLeftSixth,
        bottomCenterSixth,
        bottomRightSixth,
        maximize,
        almostMaximize,
        maximizeHeight,
        center,
        largerSize,
        smallerSize,
        restore,
        moveLeft,
        moveRight,
        moveUp,
        moveDown,
        nextDisplay,
        previousDisplay,
    };
    static constexpr std::size_t count = 41;

    constexpr SnapAction(Value value) : value_(value) {}
    constexpr operator Value() const { return value_; }

    // The action whose raw name is exactly `raw` (letter case counts), or none.
    static std::optional<SnapAction> fromRawValue(std::string_view raw);
    static const std::vector<SnapAction>& allCases();
    // The panel's snap grid: ten groups that together hold every action once.
    static const std::vector<std::vector<SnapAction>>& panelLayoutGroups();

    const std::string& rawValue() const;
    const std::string& displayName() const;
    bool isCrossDisplay() const { return value_ == nextDisplay || value_ == previousDisplay; }

    // Where the action puts a window whose frame is `currentFrame` inside the visible
    // area `visibleFrame` (both top-left origin, same space); none for restore and the
    // display moves. Pure.
    std::optional<Rect> targetRect(const Rect& visibleFrame, const Rect& currentFrame) const;

private:
    Value value_;
};

}  // namespace kestr

template <>
struct std::hash<kestr::SnapAction> {
    std::size_t operator()(kestr::SnapAction action) const noexcept {
        return std::hash<std::string>()(action.rawValue());
    }
};
