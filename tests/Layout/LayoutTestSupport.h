// Shorthands of the placement tests: saved frames on named displays, items and displays
// through the shared builders, and rectangles compared up to rounding.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Core/LayoutItem.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/DisplayBuilder.h"
#include "Support/ItemBuilder.h"

namespace kestr::test {

// Display UUID strings: two that the tests connect, three that stay missing.
inline const std::string kMain = "11111111-0000-0000-0000-000000000001";
inline const std::string kSecond = "22222222-0000-0000-0000-000000000002";
inline const std::string kGone = "99999999-0000-0000-0000-000000000009";
inline const std::string kGoneLeft = "99999999-0000-0000-0000-00000000000A";
inline const std::string kGoneRight = "99999999-0000-0000-0000-00000000000B";

inline ScreenFrame frame(const std::string& display, double x, double y, double w, double h) {
    return ScreenFrame{display, x, y, w, h, {}, {}, {}, {}};
}

// The frame with the size and origin of its display recorded.
inline ScreenFrame recorded(ScreenFrame f, double dispX = 0, double dispW = 1440, double dispH = 900) {
    f.dispW = dispW;
    f.dispH = dispH;
    f.dispX = dispX;
    f.dispY = 0;
    return f;
}

inline LayoutItem item(const ScreenFrame& target, const std::string& bundleID = "com.example.app") {
    return ItemBuilder(bundleID).target(target);
}

// A display with a menu bar of `menuBar` points at the top and no Dock.
inline void addDisplay(SimDesktop& sim, DisplayID id, const std::string& uuid, Rect bounds, double menuBar = 25) {
    DisplayBuilder(sim, id, bounds).uuid(uuid).menuBar(menuBar);
}

// Rectangles equal up to rounding of the scale factors.
inline ::testing::AssertionResult nearlyEqual(const Rect& a, const Rect& e) {
    const auto near = [](double x, double y) { return std::abs(x - y) < 1e-9; };
    if (near(a.x(), e.x()) && near(a.y(), e.y()) && near(a.width(), e.width()) && near(a.height(), e.height()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << a.x() << ", " << a.y() << ", " << a.width() << ", " << a.height()
                                         << ")";
}

}  // namespace kestr::test
