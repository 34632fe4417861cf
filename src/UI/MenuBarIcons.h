// Every picture of the status button: the four base states from the SVG artwork, the
// two-colour composites of the flashes and the drag, the active-kest ring, and the two
// badges drawn in code. Images are drawn at `scale` pixels per point; their sizes are
// in points. An appearance of none means the system's.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>

#include "UI/MenuBarImage.h"

namespace kestr {

class MenuBarIcons {
public:
    enum class MenuIcon { idle, saved, alert, apply };

    // Where the artwork is looked up; compiled into the program.
    static QString resourceFolder;
    static constexpr double defaultScale = 2;

    static QColor pointColor();
    static QColor clippedColor();
    static QColor heartColor();
    static QColor sparkleColor();
    static QString stateName(MenuIcon icon);

    // The template image of a base state, 15 points high. Without its artwork: for
    // idle the system's grid symbol, for the others none.
    static std::optional<MenuBarImage> iconImage(MenuIcon icon, const QString& description,
                                                 double scale = defaultScale);
    // One piece of artwork, 15 points high with its aspect kept.
    static std::optional<MenuBarImage> glyph(const QString& name, double scale = defaultScale);
    // The base in the label colour with the mark on top in `markColor`.
    static std::optional<MenuBarImage> composite(const QString& base, const QString& mark, const QColor& markColor,
                                                 std::optional<bool> dark, const QString& description,
                                                 double scale = defaultScale);
    static std::optional<MenuBarImage> activeKestImage(double scale = defaultScale);
    // A yellow warning triangle, and a blue disc with an "i", `side` points square.
    static QImage cautionBadge(double side, double scale = defaultScale);
    static QImage setupBadge(double side, double scale = defaultScale);
    // The base with the caution badge drawn into it.
    static MenuBarImage badged(const MenuBarImage& base, std::optional<QColor> baseTint, std::optional<bool> dark,
                               double scale = defaultScale);
};

}  // namespace kestr
