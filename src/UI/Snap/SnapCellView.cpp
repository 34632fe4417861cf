#include "UI/Snap/SnapCellView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "Core/HotkeyManager.h"
#include "Platform/Platform.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/Snap/SnapZoneRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr double badgeFontSize = 10.5;
constexpr double minimumBadgeFontSize = 8.0;

// The largest size from the badge's own down to the smallest at which `text` takes at
// most `room`; none when it is wider even at the smallest.
std::optional<QFont> fitting(const QString& text, double room) {
    const double natural = QFontMetricsF(SystemStyle::font(badgeFontSize, QFont::Medium)).horizontalAdvance(text);
    if (natural <= room) return SystemStyle::font(badgeFontSize, QFont::Medium);
    for (double size = std::floor(badgeFontSize * room / natural); size >= minimumBadgeFontSize; --size) {
        QFont font = SystemStyle::font(size, QFont::Medium);
        if (QFontMetricsF(font).horizontalAdvance(text) <= room) return font;
    }
    return std::nullopt;
}

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

SnapCellView::Model SnapCellView::model(const SnapBinding& binding) {
    const HotkeyManager& hotkeys = HotkeyManager::shared();
    // Marked too when another of kestr's shortcuts took the key: a press never snaps.
    const auto source = HotkeySource::snap(binding.action);
    return {binding.action, hotkeys.shownKeys(binding.hotkey, false, source),
            hotkeys.shownKeys(binding.hotkey, true, source)};
}

std::optional<SnapCellView::Badge> SnapCellView::badge() const {
    if (!model_.hotkey || model_.hotkey->empty()) return std::nullopt;
    // A shortcut wider than the cell (keys named in words, "Alt+Shift+Super+1") is set
    // smaller; beyond that it is written short, every modifier kept ("Alt ⇧ Sup 1"), at
    // the smallest size, so that the short badges of a grid match; where even that is
    // too wide it is narrowed sideways. Nothing is ever cut.
    const double room = std::max(1.0, width() - 14.0);
    const QString full = QString::fromStdString(*model_.hotkey);
    if (auto font = fitting(full, room)) return Badge{full, *font};
    const QString shortText = model_.shortHotkey ? QString::fromStdString(*model_.shortHotkey) : full;
    const QFont smallest = SystemStyle::font(minimumBadgeFontSize, QFont::Medium);
    const double natural = QFontMetricsF(smallest).horizontalAdvance(shortText);
    return Badge{shortText, smallest, natural > room ? room / natural : 1.0};
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
    const auto shown = badge();
    if (!shown) return;
    const QFontMetricsF metrics(shown->font);
    const double tw = metrics.horizontalAdvance(shown->text) * shown->squeeze;
    const double bw = tw + 10;
    const double x = (W - bw) * 0.5;
    QPainterPath fill;
    fill.addRoundedRect(QRectF(x, 42, bw, 18), 5, 5);
    p.fillPath(fill, KestThumbnailRenderer::adaptiveBadgeFill().resolved());
    p.setFont(shown->font);
    p.setPen(KestThumbnailRenderer::adaptiveBadgeText().resolved());
    p.translate(x + 5, (18 - metrics.height()) * 0.5 + 42);
    p.scale(shown->squeeze, 1);
    SystemStyle::drawText(p, 0, 0, shown->text);
}

}  // namespace kestr
