// The glyph of one snap action in the panel's snap grid: a miniature screen (the
// plate) with the part the action gives a window filled in, a symbol for the actions
// without a fixed place, and two plates for the moves between displays. Drawn in
// top-left coordinates, like the target rectangles it shows.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "Platform/Geometry.h"
#include "Core/SnapAction.h"

class QPainter;

namespace kestr {

struct SnapZoneRenderer {
    // ---- arithmetic ----
    // The plate centred in `rect` in the screen's proportions, on whole points.
    static Rect plate(const Rect& rect, double screenAspect);
    // The filled part of a plate; none when the action has no place or it is too thin.
    static std::optional<Rect> zone(SnapAction action, const Rect& plate);
    // The two plates of a display move, left and right (not rounded).
    static std::pair<Rect, Rect> displayMovePlates(const Rect& rect, double aspect);
    // The symbol drawn for larger, smaller and restore; none for the other actions.
    static std::optional<std::string> symbolName(SnapAction action);
    static double plateRadius(const Rect& plate);

    // ---- drawing ----
    static void draw(QPainter& painter, SnapAction action, const Rect& rect, double screenAspect);
};

}  // namespace kestr
