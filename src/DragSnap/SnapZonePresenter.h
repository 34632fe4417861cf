// What drag snap asks of the user interface: click-through windows, one per display,
// that draw the slots of the active kest with one of them highlighted. The logic keeps
// every state it decides on (SnapZoneOverlay); a window only shows it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Geometry.h"

namespace kestr {

class SnapZoneWindow {
public:
    virtual ~SnapZoneWindow() = default;
    virtual void orderFront() = 0;
    virtual void setAlpha(double alpha) = 0;
    // Zones are relative to the display's top-left corner.
    virtual void redraw(const std::vector<Rect>& zones, std::optional<std::size_t> highlighted) = 0;
    // Hides the window at once; it is not shown again.
    virtual void orderOut() = 0;
};

class SnapZonePresenter {
public:
    virtual ~SnapZonePresenter() = default;
    // A window covering the display whose global bounds are given, not yet shown, fully
    // transparent.
    virtual std::unique_ptr<SnapZoneWindow> makeWindow(const Rect& displayBounds) = 0;
};

}  // namespace kestr
