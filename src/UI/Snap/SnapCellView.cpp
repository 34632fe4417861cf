#include "UI/Snap/SnapCellView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "Platform/Platform.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/Snap/SnapZoneRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr double minimumBadgeFontSize = 8.0;

}  // namespace

SnapCellView::SnapCellView(Model model, QWidget* parent) : SelectableCell(parent), model_(std::move(model)) {
    updateAccessibleName();
}

QString SnapCellView::accessibilityLabel() const {
    QString label = QString::fromStdString(model_.action.displayName());
    if (model_.hotkey && !model_.hotkey->empty()) label += ", shortcut " + QString::fromStdString(*model_.hotkey);
    return label;
}

void SnapCellView::press(Qt::KeyboardModifiers) {
    if (onApply) onApply(model_.action);
}

double SnapCellView::screenAspect(const std::optional<Screen>& mainScreen) {
    if (!mainScreen || !(mainScreen->frame.height() > 0)) return 1.6;
    return std::max(std::min(mainScreen->frame.width() / mainScreen->frame.height(), 2.5), 1.2);
}

void SnapCellView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double W = width();
    if (hovering() || isKeyboardSelected()) paintHighlight(p, 2, 2, 8, isKeyboardSelected());
    const double aspect = hasPlatform() ? screenAspect(platform().displays().mainScreen()) : 1.6;
    SnapZoneRenderer::draw(p, model_.action, Rect(6, 6, W - 12, 32), aspect);
    if (!model_.hotkey || model_.hotkey->empty()) return;
    // A shortcut wider than the cell (keys named in words, "Alt+Super+←") is set smaller,
    // and beyond that loses its first keys, so that its last one stays readable.
    QFont font = SystemStyle::font(10.5, QFont::Medium);
    QString text = QString::fromStdString(*model_.hotkey);
    const double room = W - 14;
    const double natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural > room && room > 0) {
        font = SystemStyle::font(std::max(minimumBadgeFontSize, 10.5 * room / natural), QFont::Medium);
        text = QFontMetricsF(font).elidedText(text, Qt::ElideLeft, room);
    }
    const QFontMetricsF metrics(font);
    const double bw = metrics.horizontalAdvance(text) + 10;
    const double x = (W - bw) * 0.5;
    QPainterPath badge;
    badge.addRoundedRect(QRectF(x, 42, bw, 18), 5, 5);
    p.fillPath(badge, KestThumbnailRenderer::adaptiveBadgeFill().resolved());
    p.setFont(font);
    p.setPen(KestThumbnailRenderer::adaptiveBadgeText().resolved());
    SystemStyle::drawText(p, x + 5, (18 - metrics.height()) * 0.5 + 42, text);
}

}  // namespace kestr
