// The system's named colours and its user-interface font, as the drawings of kestr use
// them. Colours carry both appearances and are resolved when they are drawn.
#pragma once

#include <QFont>
#include <QString>

#include "UI/AdaptiveColor.h"

class QPainter;

namespace kestr {

struct SystemStyle {
    static AdaptiveColor label();
    static AdaptiveColor secondaryLabel();
    static AdaptiveColor tertiaryLabel();
    static AdaptiveColor separator();
    static AdaptiveColor controlAccent();
    static AdaptiveColor systemOrange();

    // The user-interface font at `size` points (one point is one device-independent
    // pixel) and the given weight.
    static QFont font(double size, QFont::Weight weight = QFont::Normal);
    // Draws one line of text with the painter's font and pen, its top-left corner at
    // (x, y).
    static void drawText(QPainter& painter, double x, double y, const QString& text);
};

}  // namespace kestr
