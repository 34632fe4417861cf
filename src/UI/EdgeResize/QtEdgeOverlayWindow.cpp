#include "UI/EdgeResize/QtEdgeOverlayWindow.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "UI/AccentColor.h"
#include "UI/NativeWindow.h"
#include "UI/OverlayInput.h"

namespace kestr {

namespace {

QRectF qt(const Rect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()); }

QColor colorOf(EdgeLineColor c) {
    switch (c) {
        case EdgeLineColor::idle:
            return QColor::fromRgbF(1, 1, 1, 0.3f);
        case EdgeLineColor::clipped:
            return QColor::fromRgbF(0.867f, 0.361f, 0.369f, 1);
        case EdgeLineColor::ghost:
            return QColor::fromRgbF(0.557f, 0.557f, 0.576f, 0.3f);
        case EdgeLineColor::pressed:
            break;
    }
    return accentColor();
}

QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(float(alpha));
    return c;
}

// The line in `rect`, fading out at both ends; the fades take a fifth of the line,
// split in the proportion of the midpoint's place along it.
void fillLineFadingEnds(QPainter& p, const QRectF& rect, const QColor& color, bool vertical, double center) {
    const double c = std::clamp(center, 0.0, 1.0);
    QLinearGradient g = vertical ? QLinearGradient(rect.center().x(), rect.top(), rect.center().x(), rect.bottom())
                                 : QLinearGradient(rect.left(), rect.center().y(), rect.right(), rect.center().y());
    g.setColorAt(0.0, withAlpha(color, 0));
    g.setColorAt(0.2 * c, color);
    g.setColorAt(1 - 0.2 * (1 - c), color);
    g.setColorAt(1.0, withAlpha(color, 0));
    p.fillRect(rect, g);
}

QPainterPath capsule(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

}  // namespace

QtEdgeOverlayWindow::QtEdgeOverlayWindow(EdgeOverlay& overlay)
    : QWidget(nullptr, overlayWindowFlags()), overlay_(overlay), blends_(overlaysBlend()) {
    if (blends_) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        // Only the handle shows; the fades at the line's ends run into this.
        QPalette dark = palette();
        dark.setColor(QPalette::Window, QColor(60, 60, 62));
        setPalette(dark);
    }
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    keepOffTaskbars(*this);
    setGeometry(qt(overlay.bounds).toAlignedRect());
    setWindowOpacity(0);
    setOverlayVisibleRegion(*this, QRegion());
}

void QtEdgeOverlayWindow::orderFront() {
    shown_ = overlay_.drawing();
    applyShape();
    show();
    raise();
    setOverlayInputRegion(*this, ignoresMouse_ ? QRegion() : inputRegion_);
}

void QtEdgeOverlayWindow::orderOut() { hide(); }

void QtEdgeOverlayWindow::setAlpha(double alpha) { setWindowOpacity(alpha); }

void QtEdgeOverlayWindow::setIgnoresMouseEvents(bool ignores) {
    if (ignores == ignoresMouse_) return;
    ignoresMouse_ = ignores;
    setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
    setOverlayInputRegion(*this, ignores ? QRegion() : inputRegion_);
}

void QtEdgeOverlayWindow::redraw() {
    auto drawing = overlay_.drawing();
    if (drawing == shown_) return;
    shown_ = std::move(drawing);
    // The window spans the display: only where the handle was and is now is painted.
    const QRegion before = shownRegion_;
    applyShape();
    update(before + shownRegion_);
}

// The window shows the handle only, and takes the mouse only on it: the rest of
// the display is left exactly as it was.
void QtEdgeOverlayWindow::applyShape() {
    QRegion shown;
    QRegion input;
    if (const auto& d = shown_) {
        const QRect line = qt(d->line).toAlignedRect().adjusted(-1, -1, 1, 1);
        const QRectF knob = qt(d->knob.rect);
        shown = QRegion(line);
        if (d->ghost) shown += qt(*d->ghost).toAlignedRect().adjusted(-1, -1, 1, 1);
        if (blends_) {
            shown += knob.toAlignedRect().adjusted(-24, -24, 24, 24);  // its shadow
        } else {
            shown += QRegion(capsule(knob, d->knob.radius).toFillPolygon().toPolygon());
        }
        input = QRegion(line) + knob.toAlignedRect().adjusted(-4, -4, 4, 4);
    }
    if (shown != shownRegion_) {
        shownRegion_ = shown;
        setOverlayVisibleRegion(*this, shown);
    }
    if (input != inputRegion_) {
        inputRegion_ = input;
        if (!ignoresMouse_) setOverlayInputRegion(*this, input);
    }
}

void QtEdgeOverlayWindow::paintEvent(QPaintEvent*) {
    const auto& d = shown_;
    if (!d) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    // No line under the knob.
    QPainterPath outside;
    outside.addRect(rect());
    outside.addPath(capsule(qt(d->knob.rect), d->knob.radius));
    outside.setFillRule(Qt::OddEvenFill);
    p.setClipPath(outside);
    if (d->ghost) fillLineFadingEnds(p, qt(*d->ghost), colorOf(EdgeLineColor::ghost), d->vertical, d->center);
    for (const EdgeOverlay::Layer& layer : d->layers) {
        p.save();
        p.setClipRect(qt(layer.segment), Qt::IntersectClip);
        fillLineFadingEnds(p, qt(d->line), colorOf(layer.color), d->vertical, d->center);
        p.restore();
    }
    p.restore();
    drawGrabber(p, *d);
}

void QtEdgeOverlayWindow::drawGrabber(QPainter& p, const EdgeOverlay::Drawing& d) {
    const double progress = d.progress;
    const QRectF r = qt(d.knob.rect);
    const QPainterPath knob = capsule(r, d.knob.radius);
    const double s = d.knob.girth / 48;

    // A soft shadow below the knob, outside it only.
    const double blur = 2 + progress * (9 * s - 2) + 4 * s * (1 - progress);
    const double dy = s * (0.8 + 2.2 * progress);
    p.save();
    QPainterPath around;
    around.addRect(r.adjusted(-16 - blur - dy, -16 - blur - dy, 16 + blur + dy, 16 + blur + dy));
    around.addPath(knob);
    around.setFillRule(Qt::OddEvenFill);
    p.setClipPath(around);
    const double alpha = 0.14 + 0.08 * progress;
    const int steps = 4;
    for (int i = steps; i >= 1; --i) {
        const double grow = blur * i / steps;
        p.fillPath(capsule(r.adjusted(-grow, -grow + dy, grow, grow + dy), d.knob.radius + grow),
                   QColor::fromRgbF(0, 0, 0, float(alpha / steps)));
    }
    p.restore();

    // At rest an almost opaque white pill, fading as the press grows.
    if (0.97 * (1 - progress) > 0.01) p.fillPath(knob, QColor::fromRgbF(1, 1, 1, float(0.97 * (1 - progress))));
    p.strokePath(knob, QPen(QColor::fromRgbF(0, 0, 0, float(0.13 * (1 - progress))), 0.5));

    // Pressed: tinted glass with a sheen and an accent ring.
    if (d.glassAlpha <= 0 || r.height() <= 1.0) return;
    const QColor accent = colorOf(d.accent);
    p.fillPath(knob, withAlpha(accent, d.glassAlpha));
    p.fillPath(knob, QColor::fromRgbF(1, 1, 1, float(0.18 * progress)));
    QLinearGradient sheen(r.center().x(), r.top(), r.center().x(), r.bottom());
    sheen.setColorAt(0.0, QColor::fromRgbF(1, 1, 1, float(0.16 * progress)));
    sheen.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, float(0.06 * progress)));
    sheen.setColorAt(1.0, QColor::fromRgbF(1, 1, 1, 0));
    p.fillPath(knob, sheen);
    const double radius = std::min(r.width(), r.height()) / 2;
    p.strokePath(capsule(r.adjusted(0.4, 0.4, -0.4, -0.4), radius),
                 QPen(QColor::fromRgbF(1, 1, 1, float(0.35 * progress)), 0.8));
    p.strokePath(capsule(r.adjusted(0.5, 0.5, -0.5, -0.5), radius), QPen(withAlpha(accent, 0.75 * progress), 0.6));
}

void QtEdgeOverlayWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) overlay_.mouseDown(1);
}

void QtEdgeOverlayWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) overlay_.mouseDown(2);
}

void QtEdgeOverlayWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) overlay_.mouseDragged();
}

void QtEdgeOverlayWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) overlay_.mouseUp();
}

std::unique_ptr<EdgeOverlayWindow> QtEdgeOverlayPresenter::makeWindow(EdgeOverlay& overlay) {
    return std::make_unique<QtEdgeOverlayWindow>(overlay);
}

}  // namespace kestr
