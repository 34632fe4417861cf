#include "UI/RoundedWindowShape.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include "UI/OverlayInput.h"

namespace kestr {

RoundedWindowShape::RoundedWindowShape(QWidget& window, double radius)
    : QObject(&window), window_(window), radius_(radius) {
    if (overlaysBlend()) window.setAttribute(Qt::WA_TranslucentBackground);
    window.installEventFilter(this);
}

// A compositing manager may come or go while the window exists; a window made opaque
// stays cut even when one arrives.
bool RoundedWindowShape::cut() const {
    return !window_.testAttribute(Qt::WA_TranslucentBackground) || !overlaysBlend();
}

void RoundedWindowShape::paint(QPainter& painter, QColor colour) const {
    if (cut()) {
        colour.setAlpha(255);
        painter.fillRect(window_.rect(), colour);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(window_.rect()), radius_, radius_);
    painter.fillPath(outline, colour);
}

QRegion RoundedWindowShape::region(const QRect& rect, double radius) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect), radius, radius);
    return QRegion(outline.toFillPolygon().toPolygon());
}

bool RoundedWindowShape::eventFilter(QObject* watched, QEvent* event) {
    // Shown: before the window is mapped, so that the corners never flash.
    if (watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) reshape();
    return false;
}

void RoundedWindowShape::reshape() {
    if (cut()) {
        window_.setMask(region(window_.rect(), radius_));
    } else if (!window_.mask().isEmpty()) {
        window_.clearMask();
    }
}

}  // namespace kestr
