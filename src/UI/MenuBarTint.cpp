#include "UI/MenuBarTint.h"

#include <QPainter>

#include "Platform/Platform.h"

namespace kestr {

QColor MenuBarTint::label(bool dark) { return dark ? QColor(255, 255, 255, 217) : QColor(0, 0, 0, 217); }

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

}  // namespace kestr
