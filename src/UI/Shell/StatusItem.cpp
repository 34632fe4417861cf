#include "UI/Shell/StatusItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "UI/MenuBarTint.h"

namespace kestr {

namespace {

// Room left and right of a title.
constexpr double titlePadding = 8;

QFont titleFont() {
    QFont font;
    font.setPointSizeF(13);
    return font;
}

}  // namespace

void StatusItem::setImage(const MenuBarImage& image, double fadeSeconds) {
    image_ = image;
    changed(fadeSeconds, true);
}

void StatusItem::setTitle(const QString& title) {
    if (title == title_) return;
    title_ = title;
    changed(0, false);
}

void StatusItem::setToolTip(const QString& toolTip) {
    if (toolTip == toolTip_) return;
    toolTip_ = toolTip;
    changed(0, false);
}

void StatusItem::setAccessibility(const Accessibility& accessibility) {
    accessibility_ = accessibility;
    changed(0, false);
}

void StatusItem::setAccessibilityValue(const QString& value) {
    accessibility_.value = value;
    changed(0, false);
}

void StatusItem::setBadge(const std::optional<QImage>& badge, const QRectF& frame) {
    badge_ = badge;
    badgeFrame_ = badge ? frame : QRectF();
    changed(0, false);
}

QSizeF StatusItem::buttonSize() const {
    double width = 0;
    if (image_) width += image_->size().width();
    if (!title_.isEmpty()) width += std::ceil(QFontMetricsF(titleFont()).horizontalAdvance(title_)) + titlePadding;
    if (image_) width += imagePadding;
    return {std::max(width, buttonHeight), buttonHeight};
}

QSizeF StatusItem::drawnSize() const {
    const QSizeF button = buttonSize();
    if (!badge_) return button;
    return {std::max(button.width(), badgeFrame_.right()), button.height()};
}

QImage StatusItem::render(double scale, bool dark) const { return render(scale, MenuBarTint::label(dark)); }

QImage StatusItem::render(double scale, const QColor& label) const {
    const QSizeF size = drawnSize();
    const double buttonWidth = buttonSize().width();
    QImage out(static_cast<int>(std::ceil(size.width() * scale)), static_cast<int>(std::ceil(size.height() * scale)),
               QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    out.setDevicePixelRatio(scale);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    double x = 0;
    if (image_) {
        const QSizeF imageSize = image_->size();
        x = imagePadding / 2;
        const QRectF target(x, (size.height() - imageSize.height()) / 2, imageSize.width(), imageSize.height());
        painter.drawImage(target, image_->isTemplate ? MenuBarTint::tinted(image_->pixels, label) : image_->pixels);
        x += imageSize.width() + imagePadding / 2;
    }
    if (!title_.isEmpty()) {
        painter.setFont(titleFont());
        painter.setPen(label);
        painter.drawText(QRectF(x, 0, buttonWidth - x, size.height()), Qt::AlignCenter, title_);
    }
    if (badge_) painter.drawImage(badgeFrame_, *badge_);
    return out;
}

}  // namespace kestr
