#include "UI/Panel/PanelActionRowView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr {

PanelActionRowView::PanelActionRowView(QString title, std::string symbolName, std::optional<QString> hotkeyText,
                                       std::function<void()> onClick, QWidget* parent)
    : HoverView(parent),
      title_(std::move(title)),
      symbol_(std::move(symbolName)),
      hotkey_(std::move(hotkeyText)),
      onClick_(std::move(onClick)) {
    updateAccessibleName();
}

QString PanelActionRowView::accessibilityLabel() const {
    if (hotkey_ && !hotkey_->isEmpty()) return title_ + ", shortcut " + *hotkey_;
    return title_;
}

void PanelActionRowView::press(Qt::KeyboardModifiers) {
    if (onClick_) onClick_();
}

void PanelActionRowView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double W = width();
    const double H = height();
    if (hovering()) paintHighlight(p, 6, 2, 7, false);

    const QImage symbol =
        SymbolImages::image(symbol_, 13, SystemStyle::secondaryLabel().resolved(), p.device()->devicePixelRatioF());
    if (!symbol.isNull()) {
        const QSizeF s = symbol.deviceIndependentSize();
        p.drawImage(QPointF(16 + (20 - s.width()) / 2, std::round((H - s.height()) / 2)), symbol);
    }

    const bool hasBadge = hotkey_ && !hotkey_->isEmpty();
    const QFont badgeFont = SystemStyle::font(11, QFont::Medium);
    const QFontMetricsF metrics(badgeFont);
    const double b = hasBadge ? metrics.horizontalAdvance(*hotkey_) + 12 : 0;
    const QRectF badge(W - 16 - b, (H - 18) / 2, b, 18);

    // A long title (a long kest name) ends in "…" before the badge or the row's margin.
    const QFont titleFont = SystemStyle::font(13);
    const QFontMetricsF titleMetrics(titleFont);
    const double titleRight = hasBadge ? badge.left() - 8 : W - 16;
    p.setFont(titleFont);
    p.setPen(SystemStyle::label().resolved());
    SystemStyle::drawText(p, 44, (H - titleMetrics.height()) / 2,
                          titleMetrics.elidedText(title_, Qt::ElideRight, std::max(0.0, titleRight - 44)));

    if (!hasBadge) return;
    QPainterPath path;
    path.addRoundedRect(badge, 5, 5);
    p.fillPath(path, KestThumbnailRenderer::adaptiveBadgeFill().resolved());
    p.setFont(badgeFont);
    p.setPen(KestThumbnailRenderer::adaptiveBadgeText().resolved());
    SystemStyle::drawText(p, badge.x() + 6, badge.y() + (18 - metrics.height()) / 2, *hotkey_);
}

}  // namespace kestr
