#include "Core/SnapAction.h"

#include <algorithm>
#include <array>
#include <cmath>

// The tables here are aligned by hand, one row a line.
// clang-format off

namespace kestr {

namespace {

struct Names {
    std::string raw;
    std::string title;
};

// Indexed by SnapAction::Value.
const std::array<Names, SnapAction::count>& names() {
    static const std::array<Names, SnapAction::count> table{{
        {"leftHalf", "Left Half"},
        {"rightHalf", "Right Half"},
        {"topHalf", "Top Half"},
        {"bottomHalf", "Bottom Half"},
        {"centerHalf", "Center Half"},
        {"topLeftQuarter", "Top Left"},
        {"topRightQuarter", "Top Right"},
        {"bottomLeftQuarter", "Bottom Left"},
        {"bottomRightQuarter", "Bottom Right"},
        {"firstThird", "First Third"},
        {"centerThird", "Center Third"},
        {"lastThird", "Last Third"},
        {"firstTwoThirds", "First Two Thirds"},
        {"centerTwoThirds", "Center Two Thirds"},
        {"lastTwoThirds", "Last Two Thirds"},
        {"firstFourth", "First Fourth"},
        {"secondFourth", "Second Fourth"},
        {"thirdFourth", "Third Fourth"},
        {"lastFourth", "Last Fourth"},
        {"firstThreeFourths", "First Three Fourths"},
        {"centerThreeFourths", "Center Three Fourths"},
        {"lastThreeFourths", "Last Three Fourths"},
        {"topLeftSixth", "Top Left Sixth"},
        {"topCenterSixth", "Top Center Sixth"},
        {"topRightSixth", "Top Right Sixth"},
        {"bottomLeftSixth", "Bottom Left Sixth"},
        {"bottomCenterSixth", "Bottom Center Sixth"},
        {"bottomRightSixth", "Bottom Right Sixth"},
        {"maximize", "Maximize"},
        {"almostMaximize", "Almost Maximize"},
        {"maximizeHeight", "Maximize Height"},
        {"center", "Center"},
        {"largerSize", "Make Larger"},
        {"smallerSize", "Make Smaller"},
        {"restore", "Restore"},
        {"moveLeft", "Move Left"},
        {"moveRight", "Move Right"},
        {"moveUp", "Move Up"},
        {"moveDown", "Move Down"},
        {"nextDisplay", "Move to Next Display"},
        {"previousDisplay", "Move to Previous Display"},
    }};
    return table;
}

// A rectangle read the way the window system reads one: origin at its minimum corner,
// sizes never negative.
struct Extent {
    double x, y, w, h;
    explicit Extent(const Rect& r)
        : x(r.minX()), y(r.minY()), w(std::fabs(r.width())), h(std::fabs(r.height())) {}
    double maxX() const { return x + w; }
    double maxY() const { return y + h; }
};

constexpr double minimumWidth = 200;
constexpr double minimumHeight = 150;

// Grows (f > 0) or shrinks (f < 0) the frame by a fraction of the visible area, keeps
// it at least 200 x 150 about its centre, then pushes it into the visible area.
Rect inflate(const Rect& current, double f, const Rect& visible) {
    const Extent v(visible);
    const Extent c(current);
    const double dw = v.w * f;
    const double dh = f * v.h;
    const double dx = dw * -0.5;
    const double dy = dh * -0.5;
    Rect r(c.x + dx, c.y + dy, c.w - 2 * dx, c.h - 2 * dy);
    if (r.width() < 0 || r.height() < 0) {
        // Shrunk past nothing: start from the minimum size about the window's centre.
        r = Rect(current.midX() - minimumWidth / 2, current.midY() - minimumHeight / 2,
                 minimumWidth, minimumHeight);
    }
    if (r.width() < minimumWidth) r = Rect(r.midX() - minimumWidth / 2, r.minY(), minimumWidth, r.height());
    if (r.height() < minimumHeight) r = Rect(r.minX(), r.midY() - minimumHeight / 2, r.width(), minimumHeight);
    if (r.minX() < v.x) r.origin.x = v.x;
    if (r.minY() < v.y) r.origin.y = v.y;
    if (r.maxX() > v.maxX()) r.size.width = v.maxX() - r.minX();
    if (r.maxY() > v.maxY()) r.size.height = v.maxY() - r.minY();
    return r;
}

}  // namespace

std::optional<SnapAction> SnapAction::fromRawValue(std::string_view raw) {
    const auto& table = names();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].raw == raw) return SnapAction(static_cast<Value>(i));
    }
    return std::nullopt;
}

const std::vector<SnapAction>& SnapAction::allCases() {
    static const std::vector<SnapAction> all = [] {
        std::vector<SnapAction> v;
        for (std::size_t i = 0; i < count; ++i) v.emplace_back(static_cast<Value>(i));
        return v;
    }();
    return all;
}

const std::vector<std::vector<SnapAction>>& SnapAction::panelLayoutGroups() {
    static const std::vector<std::vector<SnapAction>> groups{
        {leftHalf, rightHalf, topHalf, bottomHalf, centerHalf},
        {topLeftQuarter, topRightQuarter, bottomLeftQuarter, bottomRightQuarter},
        {firstThird, centerThird, lastThird},
        {firstTwoThirds, centerTwoThirds, lastTwoThirds},
        {firstFourth, secondFourth, thirdFourth, lastFourth},
        {firstThreeFourths, centerThreeFourths, lastThreeFourths},
        {topLeftSixth, topCenterSixth, topRightSixth, bottomLeftSixth, bottomCenterSixth,
         bottomRightSixth},
        {maximize, almostMaximize, maximizeHeight, center, restore, largerSize, smallerSize},
        {moveLeft, moveRight, moveUp, moveDown},
        {nextDisplay, previousDisplay},
    };
    return groups;
}

const std::string& SnapAction::rawValue() const { return names()[value_].raw; }

const std::string& SnapAction::displayName() const { return names()[value_].title; }

std::optional<Rect> SnapAction::targetRect(const Rect& visibleFrame, const Rect& currentFrame) const {
    const Extent v(visibleFrame);
    const Extent c(currentFrame);
    const double half = v.w * 0.5;
    const double third = v.w / 3;
    const double twoThirds = (v.w + v.w) / 3;
    const double fourth = v.w * 0.25;
    const double threeFourths = (3 * v.w) * 0.25;
    const double lowerY = v.y + v.h * 0.5;
    const double halfH = v.h * 0.5;
    switch (value_) {
    case leftHalf: return Rect(v.x, v.y, half, v.h);
    case rightHalf: return Rect(v.x + half, v.y, half, v.h);
    case topHalf: return Rect(v.x, v.y, v.w, halfH);
    case bottomHalf: return Rect(v.x, lowerY, v.w, halfH);
    case centerHalf: return Rect(v.x + fourth, v.y, half, v.h);
    case topLeftQuarter: return Rect(v.x, v.y, half, halfH);
    case topRightQuarter: return Rect(v.x + half, v.y, half, halfH);
    case bottomLeftQuarter: return Rect(v.x, lowerY, half, halfH);
    case bottomRightQuarter: return Rect(v.x + half, lowerY, half, halfH);
    case firstThird: return Rect(v.x, v.y, third, v.h);
    case centerThird: return Rect(v.x + third, v.y, third, v.h);
    case lastThird: return Rect(v.x + twoThirds, v.y, third, v.h);
    case firstTwoThirds: return Rect(v.x, v.y, twoThirds, v.h);
    case centerTwoThirds: return Rect(v.x + v.w / 6, v.y, twoThirds, v.h);
    case lastTwoThirds: return Rect(v.x + third, v.y, twoThirds, v.h);
    case firstFourth: return Rect(v.x, v.y, fourth, v.h);
    case secondFourth: return Rect(v.x + fourth, v.y, fourth, v.h);
    case thirdFourth: return Rect(v.x + (2 * v.w) * 0.25, v.y, fourth, v.h);
    case lastFourth: return Rect(v.x + threeFourths, v.y, fourth, v.h);
    case firstThreeFourths: return Rect(v.x, v.y, threeFourths, v.h);
    case centerThreeFourths: return Rect(v.x + v.w * 0.125, v.y, threeFourths, v.h);
    case lastThreeFourths: return Rect(v.x + fourth, v.y, threeFourths, v.h);
    case topLeftSixth: return Rect(v.x, v.y, third, halfH);
    case topCenterSixth: return Rect(v.x + third, v.y, third, halfH);
    case topRightSixth: return Rect(v.x + twoThirds, v.y, third, halfH);
    case bottomLeftSixth: return Rect(v.x, lowerY, third, halfH);
    case bottomCenterSixth: return Rect(v.x + third, lowerY, third, halfH);
    case bottomRightSixth: return Rect(v.x + twoThirds, lowerY, third, halfH);
    case maximize: return visibleFrame;
    case almostMaximize: {
        const double w = v.w * 0.9;
        const double h = v.h * 0.9;
        return Rect(v.x + (v.w - w) * 0.5, v.y + (v.h - h) * 0.5, w, h);
    }
    case maximizeHeight: return Rect(c.x, v.y, c.w, v.h);
    case center: {
        const double w = std::min(v.w, c.w);
        const double h = std::min(v.h, c.h);
        return Rect(v.x + (v.w - w) * 0.5, v.y + (v.h - h) * 0.5, w, h);
    }
    case largerSize: return inflate(currentFrame, 0.1, visibleFrame);
    case smallerSize: return inflate(currentFrame, -0.1, visibleFrame);
    case moveLeft: return Rect(v.x, c.y, c.w, c.h);
    case moveRight: return Rect(v.maxX() - c.w, c.y, c.w, c.h);
    case moveUp: return Rect(c.x, v.y, c.w, c.h);
    case moveDown: return Rect(c.x, v.maxY() - c.h, c.w, c.h);
    case restore:
    case nextDisplay:
    case previousDisplay: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace kestr
// clang-format on
