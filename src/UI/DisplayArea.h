// Where a window of ours may go, as the Displays service tells it: the visible area of
// a display (without docks and the menu bar) in global top-left coordinates, so that a
// window is placed on the display it appears on and is never taller than it.
#pragma once

#include <optional>

#include "Platform/Geometry.h"

class QWidget;

namespace kestr {

// The visible area of the display showing `point` (global, top-left origin), else of
// the main display; none without displays (or before the desktop is installed).
std::optional<Rect> visibleAreaAt(std::optional<Point> point);
// The visible area of the display under the pointer, else of the main display.
std::optional<Rect> visibleAreaUnderPointer();
// The bounds of the display showing `point`, else of the main display; none without
// displays.
std::optional<Rect> displayBoundsAt(Point point);
// The pointer in global coordinates; none off every display.
std::optional<Point> pointerLocation();

// Shrinks the window to fit the area, less a margin on every side, and centres it
// there.
void centerWithin(QWidget& window, const Rect& area, int margin = 12);

}  // namespace kestr
