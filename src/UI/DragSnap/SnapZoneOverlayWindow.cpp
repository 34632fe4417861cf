#include "UI/DragSnap/SnapZoneOverlayWindow.h"

#include <QPainter>
#include <QPainterPath>

#include "UI/AccentColor.h"

namespace kestr {

SnapZoneOverlayWindow::SnapZoneOverlayWindow(const Rect& b)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(QRectF(b.x(), b.y(), b.width(), b.height()).toAlignedRect());
    setWindowOpacity(0);
}

void SnapZoneOverlayWindow::orderFront() {
    show();
    raise();
}

void SnapZoneOverlayWindow::setAlpha(double alpha) { setWindowOpacity(alpha); }

void SnapZoneOverlayWindow::redraw(const std::vector<Rect>& zones, std::optional<std::size_t> highlighted) {
    zones_ = zones;
    highlighted_ = highlighted;
    update();
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
        painter.fillPath(path, lit ? accentColor(0.28) : QColor::fromRgbF(1, 1, 1, 0.16f));
        painter.strokePath(path, QPen(lit ? accentColor(0.95) : QColor::fromRgbF(1, 1, 1, 0.5f), lit ? 3.0 : 1.5));
    }
}

std::unique_ptr<SnapZoneWindow> QtSnapZonePresenter::makeWindow(const Rect& displayBounds) {
    return std::make_unique<SnapZoneOverlayWindow>(displayBounds);
}

}  // namespace kestr
