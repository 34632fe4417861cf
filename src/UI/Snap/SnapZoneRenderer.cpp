#include "UI/Snap/SnapZoneRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QColor accent() { return QColor::fromRgbF(0.827f, 0.776f, 0.667f, 0.55f); }

QRectF qrect(const Rect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()); }

Rect inset(const Rect& r, double d) { return Rect(r.x() + d, r.y() + d, r.width() - 2 * d, r.height() - 2 * d); }

void fillRounded(QPainter& p, const Rect& r, double radius, const QColor& colour) {
    QPainterPath path;
    path.addRoundedRect(qrect(r), radius, radius);
    p.fillPath(path, colour);
}

void drawPlate(QPainter& p, const Rect& plate) {
    const double radius = SnapZoneRenderer::plateRadius(plate);
    p.setPen(QPen(SystemStyle::separator().resolved(), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(qrect(plate), radius, radius);
}

void drawSymbol(QPainter& p, const std::string& name, const Rect& plate) {
    drawPlate(p, plate);
    const double s = std::min(plate.width(), plate.height()) * 0.5;
    const QImage image =
        SymbolImages::image(name, s, SystemStyle::secondaryLabel().resolved(), p.device()->devicePixelRatioF());
    if (image.isNull()) return;
    p.drawImage(QRectF(plate.midX() - s / 2, plate.midY() - s / 2, s, s), image);
}

}  // namespace

double SnapZoneRenderer::plateRadius(const Rect& plate) { return std::min(plate.height() * 0.14, 5.0); }

Rect SnapZoneRenderer::plate(const Rect& rect, double screenAspect) {
    double h = rect.height();
    double w = h * screenAspect;
    if (rect.width() < w) {
        w = rect.width();
        h = w / screenAspect;
    }
    return Rect(std::round(rect.midX() - w / 2), std::round(rect.midY() - h / 2), std::round(w), std::round(h));
}

std::optional<Rect> SnapZoneRenderer::zone(SnapAction action, const Rect& plate) {
    const Rect window(plate.midX() - 0.23 * plate.width(), plate.midY() - 0.27 * plate.height(), 0.46 * plate.width(),
                      0.54 * plate.height());
    const auto target = action.targetRect(plate, window);
    if (!target) return std::nullopt;
    const Rect z = inset(*target, 1.5).intersection(inset(plate, 1.5));
    if (z.isNull() || !(z.width() > 1.0 && z.height() > 1.0)) return std::nullopt;
    return z;
}

std::pair<Rect, Rect> SnapZoneRenderer::displayMovePlates(const Rect& rect, double aspect) {
    double pw = (rect.width() - 5) * 0.5;
    double ph = pw / aspect;
    if (ph > rect.height()) {
        ph = rect.height();
        pw = aspect * rect.height();
    }
    const double y = rect.midY() - ph / 2;
    const double left = rect.midX() - (2 * pw + 5) / 2;
    return {Rect(left, y, pw, ph), Rect(left + pw + 5, y, pw, ph)};
}

std::optional<std::string> SnapZoneRenderer::symbolName(SnapAction action) {
    switch (action) {
        case SnapAction::largerSize:
            return "arrow.up.left.and.arrow.down.right";
        case SnapAction::smallerSize:
            return "arrow.down.right.and.arrow.up.left";
        case SnapAction::restore:
            return "arrow.uturn.backward";
        default:
            return std::nullopt;
    }
}

void SnapZoneRenderer::draw(QPainter& p, SnapAction action, const Rect& rect, double screenAspect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (action.isCrossDisplay()) {
        const auto [left, right] = displayMovePlates(rect, screenAspect);
        drawPlate(p, left);
        drawPlate(p, right);
        fillRounded(p, inset(action == SnapAction::nextDisplay ? right : left, 1.5), 3.0, accent());
    } else {
        const Rect plateRect = plate(rect, screenAspect);
        if (const auto symbol = symbolName(action)) {
            drawSymbol(p, *symbol, plateRect);
        } else {
            drawPlate(p, plateRect);
            if (const auto z = zone(action, plateRect)) fillRounded(p, *z, 3.0, accent());
        }
    }
    p.restore();
}

}  // namespace kestr
