#include "UI/DragSnap/SnapZoneOverlayWindow.h"

#include <QPainter>
#include <QPainterPath>

#include "UI/AccentColor.h"
#include "UI/NativeWindow.h"
#include "UI/OverlayInput.h"

namespace kestr {

SnapZoneOverlayWindow::SnapZoneOverlayWindow(const Rect& b)
    : QWidget(nullptr, overlayWindowFlags()), blends_(overlaysBlend()) {
    if (blends_) setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    keepOffTaskbars(*this);
    setGeometry(QRectF(b.x(), b.y(), b.width(), b.height()).toAlignedRect());
    setWindowOpacity(0);
    if (!blends_) setOverlayVisibleRegion(*this, QRegion());
}

void SnapZoneOverlayWindow::orderFront() {
    show();
    raise();
}

void SnapZoneOverlayWindow::setAlpha(double alpha) { setWindowOpacity(alpha); }

void SnapZoneOverlayWindow::redraw(const std::vector<Rect>& zones, std::optional<std::size_t> highlighted) {
    zones_ = zones;
    highlighted_ = highlighted;
    if (!blends_) setOverlayVisibleRegion(*this, outlines());
    update();
}

// Without a compositing manager only the zones' outlines show, opaque; the windows
// inside them stay visible.
QRegion SnapZoneOverlayWindow::outlines() const {
    QRegion region;
    for (std::size_t i = 0; i < zones_.size(); ++i) region += outline(i);
    return region;
}

QRegion SnapZoneOverlayWindow::outline(std::size_t i) const {
    const Rect& z = zones_[i];
    if (z.width() <= 2 * inset || z.height() <= 2 * inset) return {};
    const QRect outer =
        QRectF(z.minX() + inset, z.minY() + inset, z.width() - 2 * inset, z.height() - 2 * inset).toAlignedRect();
    const int width = highlighted_ == i ? 4 : 2;
    return QRegion(outer).subtracted(QRegion(outer.adjusted(width, width, -width, -width)));
}

void SnapZoneOverlayWindow::orderOut() { hide(); }

void SnapZoneOverlayWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Later zones paint over earlier ones.
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        const Rect& z = zones_[i];
        // A zone too small to inset draws nothing.
        if (z.width() <= 2 * inset || z.height() <= 2 * inset) continue;
        QPainterPath path;
        path.addRoundedRect(QRectF(z.minX() + inset, z.minY() + inset, z.width() - 2 * inset, z.height() - 2 * inset),
                            corner, corner);
        const bool lit = highlighted_ == i;
        if (!blends_) {
            painter.setClipRegion(outline(i));
            painter.fillRect(rect(), lit ? accentColor() : QColor(235, 235, 235));
            continue;
        }
        painter.fillPath(path, lit ? accentColor(0.28) : QColor::fromRgbF(1, 1, 1, 0.16f));
        painter.strokePath(path, QPen(lit ? accentColor(0.95) : QColor::fromRgbF(1, 1, 1, 0.5f), lit ? 3.0 : 1.5));
    }
}

std::unique_ptr<SnapZoneWindow> QtSnapZonePresenter::makeWindow(const Rect& displayBounds) {
    return std::make_unique<SnapZoneOverlayWindow>(displayBounds);
}

}  // namespace kestr
