// The miniature of a kest: one rounded plate per display it uses, side by side in
// display order, with one cell per window where the window sits, optionally carrying
// the application's icon and name. Drawing is in top-left coordinates (y downward),
// matching the display-local frames of the kest.
//
// The arithmetic (blocks, their order, widths, plates, icon sizes) is kept apart from the
// painting so that it can be checked without drawing anything.
#pragma once

#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Platform/Geometry.h"
#include "UI/AdaptiveColor.h"

class QPainter;

namespace kestr {

struct KestThumbnailRenderer {
    struct DisplayBlock {
        // The display-local rectangle the plate shows.
        Rect source;
        // The kest's items on that display, in the kest's order.
        std::vector<LayoutItem> items;
    };

    struct Style {
        bool showsIcons = false;
        bool showsNames = false;
        double maxIconSize = 20;
        bool centered = false;
        AdaptiveColor plateFill;
        AdaptiveColor cellFill;
        AdaptiveColor cellStroke;
        AdaptiveColor appNameColor;
        AdaptiveColor badgeFill;
        AdaptiveColor badgeText;
        AdaptiveColor plateStroke;
        bool keepsNaturalWidth = false;

        static const Style& panel();
        static const Style& gallery();
        static const Style& preview();
    };

    // Where one cell's icon (and name, when shown) go.
    struct CellContent {
        Rect icon;
        std::optional<Rect> name;
    };

    static constexpr double plateGap = 5;

    // ---- arithmetic ----
    // In display order; empty when the kest has nothing drawable.
    static std::vector<DisplayBlock> blocks(const Layout& kest, bool tight);
    // Whether blocks() has any, without copying the items into them.
    static bool hasBlocks(const Layout& kest, bool tight);
    // The items of the untight blocks, block by block, each sorted by x then y.
    static std::vector<LayoutItem> placementOrderedItems(const Layout& kest);
    // The width the plates need at `height`; 0 when there is nothing to draw.
    static double drawnWidth(const Layout& kest, double height, bool tight);
    // One slot per block inside `rect`; empty when nothing can be drawn there.
    static std::vector<Rect> plateSlots(const std::vector<DisplayBlock>& blocks, const Rect& rect, const Style& style);
    // The one icon size every cell uses; none when the style shows no icons.
    static std::optional<double> uniformIconSize(const std::vector<DisplayBlock>& blocks,
                                                 const std::vector<Rect>& plates, const Style& style);
    static double plateRadius(const Rect& slot);
    // A window's cell on its plate; none when it is too small to draw.
    static std::optional<Rect> cellRect(const LayoutItem& item, const Rect& source, const Rect& slot);
    // The icon square and name line of a cell; none when nothing fits.
    static std::optional<CellContent> cellContent(const Rect& cell, const Style& style, std::optional<double> iconSize);

    // ---- drawing ----
    static void draw(QPainter& painter, const Layout& kest, const Rect& rect, const Style& style, bool tight);
    // The thumbnail with a row of the kest's application icons under it, for dialogs.
    static QImage dialogIcon(const Layout& kest, double devicePixelRatio = 2.0);
    // The application's icon; looked up once per bundle identifier, missing ones too.
    static std::optional<QImage> appIcon(const std::string& bundleID);

    static AdaptiveColor adaptiveBadgeFill();
    static AdaptiveColor adaptiveBadgeText();
};

}  // namespace kestr
