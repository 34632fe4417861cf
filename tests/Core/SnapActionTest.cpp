#include "Core/SnapAction.h"

#include <gtest/gtest.h>

#include <algorithm>

// The tables here are aligned by hand, one row a line.
// clang-format off

namespace kestr {
namespace {

using A = SnapAction;

void expectRect(const std::optional<Rect>& actual, const Rect& expected, const std::string& what) {
    ASSERT_TRUE(actual.has_value()) << what;
    EXPECT_DOUBLE_EQ(actual->x(), expected.x()) << what;
    EXPECT_DOUBLE_EQ(actual->y(), expected.y()) << what;
    EXPECT_DOUBLE_EQ(actual->width(), expected.width()) << what;
    EXPECT_DOUBLE_EQ(actual->height(), expected.height()) << what;
}

// Every action's rectangle, written out as the rule for that action reads, in the same
// order of operations, so a wrong offset or factor in any one of them shows.
struct Expected {
    // V standardised, C as given.
    double vx, vy, vw, vh, cx, cy, cw, ch;

    Rect inflate(double f) const {
        const double dw = vw * f, dh = f * vh;
        Rect r(cx - dw / 2, cy - dh / 2, cw + dw, ch + dh);
        if (r.width() < 200) r = Rect(r.midX() - 100, r.minY(), 200, r.height());
        if (r.height() < 150) r = Rect(r.minX(), r.midY() - 75, r.width(), 150);
        if (r.minX() < vx) r.origin.x = vx;
        if (r.minY() < vy) r.origin.y = vy;
        if (r.maxX() > vx + vw) r.size.width = vx + vw - r.minX();
        if (r.maxY() > vy + vh) r.size.height = vy + vh - r.minY();
        return r;
    }

    std::optional<Rect> of(A::Value action) const {
        const double third = vw / 3, twoThirds = (vw + vw) / 3, halfH = vh * 0.5, bottom = vy + vh * 0.5;
        switch (action) {
            case A::leftHalf: return Rect(vx, vy, vw * 0.5, vh);
            case A::rightHalf: return Rect(vx + vw * 0.5, vy, vw * 0.5, vh);
            case A::topHalf: return Rect(vx, vy, vw, halfH);
            case A::bottomHalf: return Rect(vx, bottom, vw, halfH);
            case A::centerHalf: return Rect(vx + vw * 0.25, vy, vw * 0.5, vh);
            case A::topLeftQuarter: return Rect(vx, vy, vw * 0.5, halfH);
            case A::topRightQuarter: return Rect(vx + vw * 0.5, vy, vw * 0.5, halfH);
            case A::bottomLeftQuarter: return Rect(vx, bottom, vw * 0.5, halfH);
            case A::bottomRightQuarter: return Rect(vx + vw * 0.5, bottom, vw * 0.5, halfH);
            case A::firstThird: return Rect(vx, vy, third, vh);
            case A::centerThird: return Rect(vx + third, vy, third, vh);
            case A::lastThird: return Rect(vx + twoThirds, vy, third, vh);
            case A::firstTwoThirds: return Rect(vx, vy, twoThirds, vh);
            case A::centerTwoThirds: return Rect(vx + vw / 6, vy, twoThirds, vh);
            case A::lastTwoThirds: return Rect(vx + third, vy, twoThirds, vh);
            case A::firstFourth: return Rect(vx, vy, vw * 0.25, vh);
            case A::secondFourth: return Rect(vx + vw * 0.25, vy, vw * 0.25, vh);
            case A::thirdFourth: return Rect(vx + (2 * vw) * 0.25, vy, vw * 0.25, vh);
            case A::lastFourth: return Rect(vx + (3 * vw) * 0.25, vy, vw * 0.25, vh);
            case A::firstThreeFourths: return Rect(vx, vy, (3 * vw) * 0.25, vh);
            case A::centerThreeFourths: return Rect(vx + vw * 0.125, vy, (3 * vw) * 0.25, vh);
            case A::lastThreeFourths: return Rect(vx + vw * 0.25, vy, (3 * vw) * 0.25, vh);
            case A::topLeftSixth: return Rect(vx, vy, third, halfH);
            case A::topCenterSixth: return Rect(vx + third, vy, third, halfH);
            case A::topRightSixth: return Rect(vx + twoThirds, vy, third, halfH);
            case A::bottomLeftSixth: return Rect(vx, bottom, third, halfH);
            case A::bottomCenterSixth: return Rect(vx + third, bottom, third, halfH);
            case A::bottomRightSixth: return Rect(vx + twoThirds, bottom, third, halfH);
            case A::maximize: return Rect(vx, vy, vw, vh);
            case A::almostMaximize: return Rect(vx + (vw - vw * 0.9) * 0.5, vy + (vh - vh * 0.9) * 0.5, vw * 0.9, vh * 0.9);
            case A::maximizeHeight: return Rect(cx, vy, cw, vh);
            case A::center: {
                const double w = std::min(vw, cw), h = std::min(vh, ch);
                return Rect(vx + (vw - w) * 0.5, vy + (vh - h) * 0.5, w, h);
            }
            case A::largerSize: return inflate(0.1);
            case A::smallerSize: return inflate(-0.1);
            case A::moveLeft: return Rect(vx, cy, cw, ch);
            case A::moveRight: return Rect(vx + vw - cw, cy, cw, ch);
            case A::moveUp: return Rect(cx, vy, cw, ch);
            case A::moveDown: return Rect(cx, vy + vh - ch, cw, ch);
            case A::restore:
            case A::nextDisplay:
            case A::previousDisplay: return std::nullopt;
        }
        ADD_FAILURE() << "no rule for " << A(action).rawValue();
        return std::nullopt;
    }
};

TEST(SnapActionTest, EveryActionsRectangleFollowsItsRule) {
    // Uneven numbers and an origin away from zero, so that no two terms coincide.
    const Rect visible(37, 23, 1501, 877);
    const std::vector<Rect> windows{
        Rect(211, 157, 613, 419),    // well inside
        Rect(-90, -40, 1733, 1010),  // larger than the visible area, beyond its origin
        Rect(1400, 800, 120, 90),    // small, near the far corner
    };
    for (const Rect& window : windows) {
        const Expected rule{visible.x(), visible.y(), visible.width(), visible.height(),
                            window.x(),  window.y(),  window.width(),  window.height()};
        for (const SnapAction action : A::allCases()) {
            SCOPED_TRACE(action.rawValue());
            const auto want = rule.of(action);
            const auto got = action.targetRect(visible, window);
            ASSERT_EQ(got.has_value(), want.has_value());
            if (want) {
                EXPECT_EQ(*got, *want) << "got (" << got->x() << ", " << got->y() << ", " << got->width() << ", "
                                       << got->height() << ")";
            }
        }
    }
}

TEST(SnapActionTest, AVisibleAreaWithNegativeSizeIsStandardisedFirst) {
    const Rect window(100, 100, 800, 600);
    const Rect flipped(1440, 900, -1440, -875);
    expectRect(A(A::bottomCenterSixth).targetRect(flipped, window), {480, 462.5, 480, 437.5}, "flipped");
    expectRect(A(A::almostMaximize).targetRect(flipped, window), {72, 68.75, 1296, 787.5}, "flipped");
    // maximize hands the area back as given.
    EXPECT_EQ(A(A::maximize).targetRect(flipped, window), flipped);
}

TEST(SnapActionTest, SizeChangesKeepTheMinimumAndStayInside) {
    const Rect visible(0, 25, 1440, 875);
    // Inset to 156 x 112.5, then widened to 200 and heightened to 150 about its centre.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(100, 100, 300, 200)), {150, 125, 200, 150}, "minimum");
    // Shrinking past nothing falls back to 200 x 150 about the window's centre, pushed inside.
    expectRect(A(A::smallerSize).targetRect(visible, Rect(0, 30, 50, 50)), {0, 25, 200, 150}, "collapsed");
    // Pushed to the left edge, keeping its width, then cut at the right edge.
    expectRect(A(A::largerSize).targetRect(visible, Rect(-50, 25, 1400, 800)), visible, "pushed");
    expectRect(A(A::largerSize).targetRect(visible, Rect(1000, 300, 400, 300)), {928, 256.25, 512, 387.5}, "cut");
    // Center and the moves keep the size without clamping.
    const Rect huge(-50, -50, 2000, 1200);
    EXPECT_EQ(A(A::center).targetRect(visible, huge), visible);
    expectRect(A(A::moveRight).targetRect(visible, huge), {-560, -50, 2000, 1200}, "moveRight");
}

}  // namespace
}  // namespace kestr
// clang-format on
