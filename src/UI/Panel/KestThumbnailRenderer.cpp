#include "UI/Panel/KestThumbnailRenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "UI/AppIcons.h"
#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QColor rgb(double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); }

AdaptiveColor plateColour() { return {Qt::white, rgb(0.173, 0.173, 0.18)}; }
AdaptiveColor gridLineColour() { return {rgb(0.74, 0.74, 0.76), rgb(0.36, 0.36, 0.38)}; }
AdaptiveColor labelColour() { return {rgb(0.11, 0.11, 0.118), Qt::white}; }

KestThumbnailRenderer::Style preset(bool icons, bool names, double maxIcon, bool centered, bool natural) {
    KestThumbnailRenderer::Style s;
    s.showsIcons = icons;
    s.showsNames = names;
    s.maxIconSize = maxIcon;
    s.centered = centered;
    s.plateFill = s.cellFill = plateColour();
    s.cellStroke = s.plateStroke = gridLineColour();
    s.appNameColor = labelColour();
    s.badgeFill = KestThumbnailRenderer::adaptiveBadgeFill();
    s.badgeText = KestThumbnailRenderer::adaptiveBadgeText();
    s.keepsNaturalWidth = natural;
    return s;
}

QRectF qrect(const Rect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()); }

void drawCellContent(QPainter& p, const LayoutItem& item, const Rect& cell, const KestThumbnailRenderer::Style& style,
                     std::optional<double> iconSize) {
    const auto content = KestThumbnailRenderer::cellContent(cell, style, iconSize);
    if (!content) return;
    if (const auto icon = KestThumbnailRenderer::appIcon(item.appBundleID)) p.drawImage(qrect(content->icon), *icon);
    if (!content->name) return;
    p.setFont(SystemStyle::font(10, QFont::Medium));
    p.setPen(style.appNameColor.resolved());
    const QFontMetricsF metrics(p.font());
    const QString name = ShownText::elided(item.appName, metrics, content->name->width());
    p.drawText(qrect(*content->name), Qt::AlignHCenter | Qt::AlignTop, name);
}

void drawDisplay(QPainter& p, const KestThumbnailRenderer::DisplayBlock& block, const Rect& slot,
                 const KestThumbnailRenderer::Style& style, std::optional<double> iconSize) {
    const double radius = KestThumbnailRenderer::plateRadius(slot);
    QPainterPath plate;
    plate.addRoundedRect(qrect(slot), radius, radius);
    p.fillPath(plate, style.plateFill.resolved());
    p.save();
    p.setClipPath(plate, Qt::IntersectClip);
    for (const LayoutItem& item : block.items) {
        const auto cell = KestThumbnailRenderer::cellRect(item, block.source, slot);
        if (!cell) continue;
        p.fillRect(qrect(*cell), style.cellFill.resolved());
        p.setPen(QPen(style.cellStroke.resolved(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(qrect(*cell));
        if (style.showsIcons) drawCellContent(p, item, *cell, style, iconSize);
    }
    p.restore();
    p.setPen(QPen(style.plateStroke.resolved(), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(plate);
}

}  // namespace

AdaptiveColor KestThumbnailRenderer::adaptiveBadgeFill() { return {rgb(0.894, 0.894, 0.91), rgb(0.29, 0.29, 0.31)}; }

AdaptiveColor KestThumbnailRenderer::adaptiveBadgeText() { return SystemStyle::label(); }

const KestThumbnailRenderer::Style& KestThumbnailRenderer::Style::panel() {
    static const Style s = preset(false, false, 20, false, true);
    return s;
}

const KestThumbnailRenderer::Style& KestThumbnailRenderer::Style::gallery() {
    static const Style s = preset(true, false, 20, false, false);
    return s;
}

const KestThumbnailRenderer::Style& KestThumbnailRenderer::Style::preview() {
    static const Style s = preset(true, true, 30, true, false);
    return s;
}

void KestThumbnailRenderer::draw(QPainter& painter, const Layout& kest, const Rect& rect, const Style& style,
                                 bool tight) {
    const auto list = blocks(kest, tight);
    const auto plates = plateSlots(list, rect, style);
    if (plates.empty()) return;
    const auto iconSize = uniformIconSize(list, plates, style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < list.size(); ++i) drawDisplay(painter, list[i], plates[i], style, iconSize);
    painter.restore();
}

QImage KestThumbnailRenderer::dialogIcon(const Layout& kest, double devicePixelRatio) {
    const auto items = placementOrderedItems(kest);
    const double n = static_cast<double>(items.size());
    const double iconRow = n > 0 ? n * 18 + (n - 1) * 4 : 0;
    const double w = drawnWidth(kest, 44, false);
    const double W = std::max(w, iconRow) + 8;
    const double k = W > 440 ? 440 / W : 1;
    const double height = (4 + 44 + 4 + (n > 0 ? 5 + 24 : 0)) * k;
    QImage image(static_cast<int>(std::ceil(W * k * devicePixelRatio)),
                 static_cast<int>(std::ceil(height * devicePixelRatio)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (w * k > 0) draw(p, kest, Rect((W * k - w * k) / 2, 4 * k, w * k, 44 * k), Style::panel(), false);
    if (n > 0) {
        const double side = 18 * k;
        const double gap = 4 * k;
        const double y = (44 + 4 + 5) * k + (24 * k - side) / 2;
        double x = (W * k - ((n - 1) * gap + n * side)) / 2;
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const LayoutItem& item : items) {
            if (const auto icon = appIcon(item.appBundleID)) p.drawImage(QRectF(x, y, side, side), *icon);
            x += side + gap;
        }
    }
    return image;
}

std::optional<QImage> KestThumbnailRenderer::appIcon(const std::string& bundleID) { return AppIcons::icon(bundleID); }

}  // namespace kestr
