#include "UI/SystemStyle.h"

#include <QApplication>
#include <QPainter>

#include "Platform/Platform.h"

namespace kestr {

AdaptiveColor SystemStyle::label() { return {QColor(0, 0, 0, 217), QColor(255, 255, 255, 217)}; }
AdaptiveColor SystemStyle::secondaryLabel() { return {QColor(0, 0, 0, 128), QColor(255, 255, 255, 140)}; }
AdaptiveColor SystemStyle::tertiaryLabel() { return {QColor(0, 0, 0, 66), QColor(255, 255, 255, 64)}; }
AdaptiveColor SystemStyle::separator() { return {QColor(0, 0, 0, 26), QColor(255, 255, 255, 26)}; }
AdaptiveColor SystemStyle::controlAccent() {
    if (!hasPlatform()) return AdaptiveColor::fixed(QColor(0, 122, 255));
    const RgbColor accent = platform().appearance().accentColor();
    return AdaptiveColor::fixed(QColor::fromRgbF(float(accent.red), float(accent.green), float(accent.blue)));
}
AdaptiveColor SystemStyle::systemOrange() { return {QColor(255, 149, 0), QColor(255, 159, 10)}; }

QFont SystemStyle::font(double size, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(size + 0.5) > 0 ? static_cast<int>(size + 0.5) : 1);
    font.setWeight(weight);
    return font;
}

void SystemStyle::drawText(QPainter& painter, double x, double y, const QString& text) {
    painter.drawText(QRectF(x, y, 100000, 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace kestr
