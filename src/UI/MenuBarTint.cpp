#include "UI/MenuBarTint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Platform/Platform.h"

namespace kestr {

namespace {

namespace label {
// Labels are drawn slightly translucent, as the menu bar draws them.
constexpr int alpha = 217;
}  // namespace label

}  // namespace

QColor MenuBarTint::label(bool dark) {
    return dark ? QColor(255, 255, 255, label::alpha) : QColor(0, 0, 0, label::alpha);
}

QColor MenuBarTint::systemYellow(bool dark) { return dark ? QColor(255, 214, 10) : QColor(255, 204, 0); }

QColor MenuBarTint::systemBlue(bool dark) { return dark ? QColor(10, 132, 255) : QColor(0, 122, 255); }

bool MenuBarTint::systemIsDark() { return platform().appearance().isDark(); }

QImage MenuBarTint::tinted(const QImage& image, const QColor& colour) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(QPointF(0, 0), out.deviceIndependentSize()), colour);
    return out;
}

std::optional<QColor> MenuBarTint::panelLabel() {
    const auto colour = platform().appearance().panelIconColor();
    if (!colour) return std::nullopt;
    QColor label = QColor::fromRgbF(float(colour->red), float(colour->green), float(colour->blue));
    label.setAlpha(label::alpha);
    return label;
}

bool MenuBarTint::panelIsDark() {
    const auto label = panelLabel();
    return !label || label->lightnessF() > 0.5;
}

QImage MenuBarTint::outlined(const QImage& picture, double width) {
    const double ratio = picture.devicePixelRatio();
    QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    source.setDevicePixelRatio(1);
    const QImage ring = tinted(source, Qt::black);
    QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    // The ring: the shape in black, moved to every point of a disc around it.
    const int r = std::max(1, int(std::lround(width * ratio)));
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            if (dx * dx + dy * dy <= r * r + r) painter.drawImage(QPoint(dx, dy), ring);
        }
    }
    painter.drawImage(QPoint(0, 0), source);
    painter.end();
    out.setDevicePixelRatio(ratio);
    return out;
}

}  // namespace kestr
