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
    // The system's appearance is dark, and no light scope is open.
    static bool darkAppearance();

    // While one lives, colours resolve to their light variants: for drawings whose
    // appearance is fixed whatever the system's.
    class LightScope {
    public:
        LightScope();
        ~LightScope();
        LightScope(const LightScope&) = delete;
        LightScope& operator=(const LightScope&) = delete;
    };
};

}  // namespace kestr
