#include "UI/MenuBarIcons.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "UI/MenuBarTint.h"
#include "UI/SymbolImages.h"

namespace kestr {

QString MenuBarIcons::resourceFolder = QStringLiteral(":/kestr_kestr.bundle");

namespace {

constexpr double iconHeight = 15;
constexpr double pi = 3.14159265358979323846;

QImage blank(QSizeF points, double scale) {
    QImage image(static_cast<int>(std::ceil(points.width() * scale)),
                 static_cast<int>(std::ceil(points.height() * scale)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    return image;
}

// The artwork's SVG, when it is there and parses.
std::optional<QByteArray> artwork(const QString& name) {
    QFile file(MenuBarIcons::resourceFolder + "/" + name + ".svg");
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (!QSvgRenderer(bytes).isValid()) return std::nullopt;
    return bytes;
}

QImage renderSvg(const QByteArray& svg, QSizeF size, double scale) {
    QImage image = blank(size, scale);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

// A badge drawn as its geometry is given: origin at the bottom left, y up.
QImage drawFlipped(double side, double scale, const std::function<void(QPainter&)>& draw) {
    QImage image = blank(QSizeF(side, side), scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, side);
    painter.scale(1, -1);
    draw(painter);
    return image;
}

QPointF unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : v;
}

// A line from the current point towards `corner`, rounded there with radius `r` so it
// leaves towards `next`.
void addTangentArc(QPainterPath& path, QPointF corner, QPointF next, double r) {
    const QPointF in = unit(path.currentPosition() - corner);
    const QPointF out = unit(next - corner);
    const double angle = std::acos(std::clamp(in.x() * out.x() + in.y() * out.y(), -1.0, 1.0));
    if (angle <= 0 || angle >= pi) {
        path.lineTo(corner);
        return;
    }
    const double reach = r / std::tan(angle / 2);
    const QPointF start = corner + in * reach;
    const QPointF end = corner + out * reach;
    const QPointF centre = corner + unit(in + out) * (r / std::sin(angle / 2));
    path.lineTo(start);
    // Qt measures arc angles with y pointing up.
    const auto angleOf = [&](QPointF p) { return std::atan2(-(p.y() - centre.y()), p.x() - centre.x()) * 180 / pi; };
    double sweep = angleOf(end) - angleOf(start);
    while (sweep > 180) sweep -= 360;
    while (sweep <= -180) sweep += 360;
    path.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), angleOf(start), sweep);
}

QImage tintedOnto(const MenuBarImage& image, const QColor& colour) { return MenuBarTint::tinted(image.pixels, colour); }

}  // namespace

QColor MenuBarIcons::pointColor() { return QColor::fromRgbF(0.827f, 0.776f, 0.667f); }
QColor MenuBarIcons::clippedColor() { return QColor::fromRgbF(0.867f, 0.361f, 0.369f); }
QColor MenuBarIcons::heartColor() { return QColor::fromRgbF(1.0f, 0.294f, 0.349f); }
QColor MenuBarIcons::sparkleColor() { return QColor::fromRgbF(1.0f, 0.776f, 0.0f); }

QString MenuBarIcons::stateName(MenuIcon icon) {
    switch (icon) {
        case MenuIcon::idle:
            return "idle";
        case MenuIcon::saved:
            return "saved";
        case MenuIcon::alert:
            return "alert";
        case MenuIcon::apply:
            return "apply";
    }
    return "idle";
}

std::optional<MenuBarImage> MenuBarIcons::iconImage(MenuIcon icon, const QString& description, double scale) {
    if (const auto svg = artwork("menubar-" + stateName(icon))) {
        const QSizeF loaded = QSvgRenderer(*svg).viewBoxF().size();
        const QSizeF size = loaded.width() > 0 && loaded.height() > 0
                                ? QSizeF(iconHeight * loaded.width() / loaded.height(), iconHeight)
                                : QSizeF(18, 18);
        return MenuBarImage{renderSvg(*svg, size, scale), true, description};
    }
    if (icon != MenuIcon::idle) return std::nullopt;
    const QImage symbol = SymbolImages::image("square.grid.2x2", iconHeight, Qt::black, scale);
    if (symbol.isNull()) return std::nullopt;
    return MenuBarImage{symbol, true, description};
}

std::optional<MenuBarImage> MenuBarIcons::glyph(const QString& name, double scale) {
    const auto svg = artwork(name);
    if (!svg) return std::nullopt;
    QSizeF size = QSvgRenderer(*svg).viewBoxF().size();
    if (size.width() > 0 && size.height() > 0) size = QSizeF(iconHeight * size.width() / size.height(), iconHeight);
    return MenuBarImage{renderSvg(*svg, size, scale), false, {}};
}

std::optional<MenuBarImage> MenuBarIcons::composite(const QString& base, const QString& mark, const QColor& markColor,
                                                    std::optional<bool> dark, const QString& description,
                                                    double scale) {
    const auto baseGlyph = glyph(base, scale);
    const auto markGlyph = glyph(mark, scale);
    if (!baseGlyph || !markGlyph) return std::nullopt;
    const QColor label = MenuBarTint::label(MenuBarTint::resolve(dark));
    const QRectF area(QPointF(0, 0), baseGlyph->size());
    QImage out = blank(area.size(), scale);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, tintedOnto(*baseGlyph, label));
    painter.drawImage(area, tintedOnto(*markGlyph, markColor));
    painter.end();
    return MenuBarImage{out, false, description};
}

std::optional<MenuBarImage> MenuBarIcons::activeKestImage(double scale) {
    const auto ring = glyph("menubar-idle-ring", scale);
    const auto fill = glyph("menubar-idle-fill", scale);
    if (!ring || !fill) return std::nullopt;
    const QRectF area(QPointF(0, 0), ring->size());
    QImage out = blank(area.size(), scale);
    QPainter painter(&out);
    painter.drawImage(area, ring->pixels);
    painter.drawImage(area, fill->pixels);
    painter.end();
    return MenuBarImage{out, true, "kestr (kest active)"};
}

QImage MenuBarIcons::cautionBadge(double s, double scale) {
    const bool dark = MenuBarTint::systemIsDark();
    return drawFlipped(s, scale, [&](QPainter& p) {
        const double m = 0.05 * s;
        const QPointF left(m, 2 * m), apex(s / 2, s - m), right(s - m, 2 * m);
        QPainterPath triangle;
        triangle.moveTo((left + apex) / 2);
        addTangentArc(triangle, apex, right, 0.15 * s);
        addTangentArc(triangle, right, left, 0.15 * s);
        addTangentArc(triangle, left, apex, 0.15 * s);
        triangle.closeSubpath();
        triangle.setFillRule(Qt::WindingFill);
        p.fillPath(triangle, MenuBarTint::systemYellow(dark));
        p.strokePath(triangle, QPen(QColor(0, 0, 0, 128), std::max(m, 0.6)));
        const QColor mark = QColor::fromRgbF(0.1f, 0.1f, 0.1f);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(s / 2 - 0.0475 * s, 0.35 * s, 0.095 * s, 0.29 * s), 0.0475 * s, 0.0475 * s);
        p.fillPath(bar, mark);
        QPainterPath dot;
        dot.addEllipse(QRectF(s / 2 - 0.055 * s, 0.19 * s, 0.11 * s, 0.11 * s));
        p.fillPath(dot, mark);
    });
}

QImage MenuBarIcons::setupBadge(double s, double scale) {
    const bool dark = MenuBarTint::systemIsDark();
    return drawFlipped(s, scale, [&](QPainter& p) {
        QPainterPath disc;
        disc.addEllipse(QRectF(0.12 * s, 0.12 * s, 0.76 * s, 0.76 * s));
        p.fillPath(disc, MenuBarTint::systemBlue(dark));
        p.strokePath(disc, QPen(QColor(0, 0, 0, 64), std::max(0.04 * s, 0.6)));
        QPainterPath letter;
        letter.addEllipse(QRectF(s / 2 - 0.065 * s, 0.6 * s, 0.13 * s, 0.13 * s));
        letter.addRoundedRect(QRectF(s / 2 - 0.06 * s, 0.3 * s, 0.12 * s, 0.22 * s), 0.06 * s, 0.06 * s);
        p.fillPath(letter, Qt::white);
    });
}

MenuBarImage MenuBarIcons::badged(const MenuBarImage& base, std::optional<QColor> baseTint, std::optional<bool> dark,
                                  double scale) {
    const QColor tint = baseTint.value_or(MenuBarTint::label(MenuBarTint::resolve(dark)));
    const QImage drawnBase = base.isTemplate ? tintedOnto(base, tint) : base.pixels;
    const QSizeF size = base.size();
    const double side = std::max(0.72 * size.height(), 8.0);
    QImage out = blank(size, scale);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), size), drawnBase);
    // Centred vertically, so the same in either direction of y.
    painter.drawImage(QRectF(0.6 * size.width() - side / 2, (size.height() - side) / 2, side, side),
                      cautionBadge(side, scale));
    painter.end();
    return MenuBarImage{out, false, "kestr — shortcut conflict (a window manager is running)"};
}

}  // namespace kestr
