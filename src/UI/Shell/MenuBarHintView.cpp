#include "UI/Shell/MenuBarHintView.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "UI/MenuBarIcons.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

}  // namespace

MenuBarHintView::MenuBarHintView(QWidget* parent) : QWidget(parent) { setFixedSize(360, 86); }

std::optional<QImage> MenuBarHintView::whitePill() {
    static std::optional<QImage> cached;
    if (cached) return cached;
    const auto icon = MenuBarIcons::glyph(QStringLiteral("menubar-idle"));
    if (!icon) return std::nullopt;
    QImage image = icon->pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The icon's shape, in white.
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(QRectF(QPointF(0, 0), image.deviceIndependentSize()), Qt::white);
    p.end();
    cached = image;
    return cached;
}

void MenuBarHintView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = SystemStyle::controlAccent().resolved();
    const QColor ink = SystemStyle::label().resolved();
    const double w = width();
    // The drawing is laid out with y up from the bottom edge; Qt's y runs down.
    const double h = height();
    auto flipY = [h](double y, double height) { return h - y - height; };

    // Menu-bar strip.
    const QRectF strip(0.5, flipY(h - 28, 28), w - 1, 28);
    QPainterPath stripPath;
    stripPath.addRoundedRect(strip, 9, 9);
    p.fillPath(stripPath, withAlpha(ink, 0.07));
    p.setPen(QPen(withAlpha(ink, 0.13), 1));
    p.drawPath(stripPath);

    // The notch hangs from the top edge, its lower corners rounded.
    if (notched) {
        const QRectF notch(w / 2 - 41, 0, 82, 12);
        QPainterPath notchPath;
        notchPath.moveTo(notch.left(), notch.top());
        notchPath.lineTo(notch.left(), notch.bottom() - 6);
        notchPath.arcTo(QRectF(notch.left(), notch.bottom() - 12, 12, 12), 180, 90);
        notchPath.lineTo(notch.right() - 6, notch.bottom());
        notchPath.arcTo(QRectF(notch.right() - 12, notch.bottom() - 12, 12, 12), 270, 90);
        notchPath.lineTo(notch.right(), notch.top());
        notchPath.closeSubpath();
        p.fillPath(notchPath, withAlpha(ink, 0.5));
    }

    // Three other status items.
    const double midY = strip.center().y();
    for (const auto& [x, width] : {std::pair{strip.right() - 59, 11.0}, std::pair{strip.right() - 73, 6.0},
                                   std::pair{strip.right() - 90, 9.0}}) {
        QPainterPath item;
        item.addRoundedRect(QRectF(x, midY - 3, width, 6), 2, 2);
        p.fillPath(item, withAlpha(ink, 0.26));
    }

    // kestr's item: glow, accent pill, white icon.
    const QPointF center(strip.right() - 24, midY);
    QRadialGradient glow(center, 26);
    glow.setColorAt(0, withAlpha(accent, 0.34));
    glow.setColorAt(1, withAlpha(accent, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(center, 26, 26);
    QPainterPath pill;
    pill.addRoundedRect(QRectF(center.x() - 16.4, center.y() - 11.5, 32.8, 23), 5, 5);
    p.fillPath(pill, accent);
    if (auto icon = whitePill()) p.drawImage(QRectF(center.x() - 10.4, center.y() - 6.5, 20.8, 13), *icon);

    // The arrow up at it, its tip 6 below the strip.
    const double tip = strip.bottom() + 6;
    QPen arrow(withAlpha(accent, 0.9), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(arrow);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(center.x(), tip + 22), QPointF(center.x(), tip));
    QPainterPath head;
    head.moveTo(center.x() - 5, tip + 6);
    head.lineTo(center.x(), tip);
    head.lineTo(center.x() + 5, tip + 6);
    p.drawPath(head);
}

}  // namespace kestr
