// A colour with a light and a dark variant, resolved when it is drawn, so that one
// style object follows the appearance the user has chosen.
#pragma once

#include <QColor>

namespace kestr {

struct AdaptiveColor {
    QColor light;
    QColor dark;

    // Both variants the same.
    static AdaptiveColor fixed(const QColor& color) { return {color, color}; }
    QColor resolved() const;
    // True when the application palette is dark (a dark window background).
    static bool darkAppearance();
};

}  // namespace kestr
