#include "UI/Panel/KestCardRenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>

#include "UI/ShownText.h"
#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

const QString overflowMark = QString::fromUtf8("\u2026");

QFont nameFont() { return SystemStyle::font(13, QFont::DemiBold); }
QFont badgeFont() { return SystemStyle::font(11, QFont::Medium); }

}  // namespace

KestCardRenderer::IconRow KestCardRenderer::iconRow(std::size_t count, double x0, double available, double markWidth) {
    std::size_t fit = 0;
    while (fit < count && iconPitch * double(fit + 1) - 6 <= available) ++fit;
    IconRow row;
    if (fit == count) {
        row.shown = count;
        return row;
    }
    row.mark = true;
    std::size_t n = fit;
    while (n > 0 && iconPitch * double(n) + markWidth > available) --n;
    row.shown = n;
    row.markX = n > 0 ? x0 + iconPitch * double(n) - 6 + 3 : x0;
    return row;
}

KestCardRenderer::Header KestCardRenderer::header(const Layout& kest, const std::optional<std::string>& hotkey,
                                                  double width, bool isActive) {
    Header h;
    double right = width - 16;
    if (hotkey && !hotkey->empty()) {
        h.badgeText = QString::fromStdString(*hotkey);
        const double badgeWidth = QFontMetricsF(badgeFont()).horizontalAdvance(h.badgeText) + 12;
        h.badge = QRectF(width - 16 - badgeWidth, 12, badgeWidth, 18);
        right = h.badge->left() - nameBadgeGap;
    }
    const double x = isActive ? 28 : 16;
    const QFontMetricsF metrics(nameFont());
    h.name = ShownText::elided(kest.name, metrics, right - x);
    h.nameRect = QRectF(x, 12, metrics.horizontalAdvance(h.name), metrics.height());
    return h;
}

QImage KestCardRenderer::genericAppIcon() {
    const QColor tint = SystemStyle::secondaryLabel().resolved();
    // One picture per tint: the appearance may change while the process runs.
    static std::map<QRgb, QImage> made;
    auto it = made.find(tint.rgba());
    if (it == made.end()) it = made.emplace(tint.rgba(), SymbolImages::image("app", iconSide / 1.2, tint, 2.0)).first;
    return it->second;
}

void KestCardRenderer::draw(QPainter& p, const Layout& kest, const std::optional<std::string>& hotkey, const Rect& rect,
                            const QColor& nameColor, bool isActive, const KestThumbnailRenderer::Style& style) {
    const double W = rect.width();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    const Header top = header(kest, hotkey, W, isActive);
    if (isActive) {
        const double nameHeight = QFontMetricsF(nameFont()).height();
        p.setPen(Qt::NoPen);
        p.setBrush(SystemStyle::controlAccent().resolved());
        p.drawEllipse(QRectF(16, 12 + (nameHeight - 7) / 2, 7, 7));
    }
    p.setFont(nameFont());
    p.setPen(nameColor);
    SystemStyle::drawText(p, top.nameRect.left(), top.nameRect.top(), top.name);

    if (top.badge) {
        const QFontMetricsF metrics(badgeFont());
        const QRectF& badge = *top.badge;
        QPainterPath path;
        path.addRoundedRect(badge, 5, 5);
        p.fillPath(path, style.badgeFill.resolved());
        p.setFont(badgeFont());
        p.setPen(style.badgeText.resolved());
        SystemStyle::drawText(p, badge.left() + 6, badge.center().y() - metrics.height() / 2, top.badgeText);
    }

    const bool hasBlocks = KestThumbnailRenderer::hasBlocks(kest, false);
    const double thumbHeight = hasBlocks ? 31 : 0;
    const double thumbWidth = KestThumbnailRenderer::drawnWidth(kest, thumbHeight, false);
    KestThumbnailRenderer::draw(p, kest, Rect(16, 40, thumbWidth, thumbHeight), style, false);

    const auto items = KestThumbnailRenderer::placementOrderedItems(kest);
    const double x0 = 16 + thumbWidth + 12;
    const QFont markFont = SystemStyle::font(16);
    const QFontMetricsF markMetrics(markFont);
    const IconRow row = iconRow(items.size(), x0, W - 16 - x0, markMetrics.horizontalAdvance(overflowMark));
    const double y = 40 + (thumbHeight - iconSide) / 2;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    double x = x0;
    for (std::size_t i = 0; i < row.shown; ++i) {
        const auto icon = KestThumbnailRenderer::appIcon(items[i].appBundleID);
        p.drawImage(QRectF(x, y, iconSide, iconSide), icon ? *icon : genericAppIcon());
        x += iconPitch;
    }
    if (row.mark) {
        p.setFont(markFont);
        p.setPen(SystemStyle::secondaryLabel().resolved());
        SystemStyle::drawText(p, row.markX, 40 + (thumbHeight - markMetrics.height()) / 2, overflowMark);
    }
    p.restore();
}

}  // namespace kestr
