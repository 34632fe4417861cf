// The card of one kest, as the panel's rows and the kest list's cells show it: the
// name (cut with "…" before the badge), a dot when the kest is active, its hot key as a
// badge, a small thumbnail and a row of the applications' icons (the generic one for an
// application without its own), cut with "…" when the row runs out of room.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <optional>
#include <string>

#include "Core/Layout.h"
#include "UI/Panel/KestThumbnailRenderer.h"

class QPainter;

namespace kestr {

struct KestCardRenderer {
    // How much of the icon row fits.
    struct IconRow {
        std::size_t shown = 0;
        bool mark = false;
        // Where the overflow mark starts, when there is one.
        double markX = 0;
    };

    // The top line: the name as drawn and where, and the badge when there is one.
    struct Header {
        QString name;
        QRectF nameRect;
        std::optional<QRectF> badge;
        QString badgeText;
    };

    static constexpr double iconSide = 20;
    static constexpr double iconPitch = 26;
    // Room kept between the name and the badge.
    static constexpr double nameBadgeGap = 8;

    static Header header(const Layout& kest, const std::optional<std::string>& hotkey, double width, bool isActive);
    // What an application without an icon of its own shows: the generic application
    // icon, in the secondary label colour.
    static QImage genericAppIcon();

    // `count` icons from `x0` with `available` points of room; `markWidth` is the
    // measured width of the overflow mark.
    static IconRow iconRow(std::size_t count, double x0, double available, double markWidth);

    // Draws into the painter's coordinates (top-left origin); only the width of `rect`
    // is used. No badge when `hotkey` is none or empty.
    static void draw(QPainter& painter, const Layout& kest, const std::optional<std::string>& hotkey, const Rect& rect,
                     const QColor& nameColor, bool isActive, const KestThumbnailRenderer::Style& style);
};

}  // namespace kestr
