#include "UI/Shell/DrawnStatusItem.h"

#include <QPainter>

#include "UI/MenuBarTint.h"

namespace kestr {

void DrawnStatusItem::changed(double fadeSeconds, bool) {
    // Where the panel does not say how it draws, a light picture ringed in black reads
    // on a black panel as on a white one.
    const auto label = MenuBarTint::panelLabel();
    target_ = label ? render(scale, *label) : MenuBarTint::outlined(render(scale, MenuBarTint::label(true)));
    if (fadeSeconds > 0 && !shown_.isNull()) {
        from_ = shown_;
        fade_.start(fadeSeconds, [this](double progress) { showFrame(progress); });
        return;
    }
    // A change during a fade (the badge, the texts) joins it.
    if (fade_.isRunning()) return;
    shown_ = target_;
    present(shown_);
}

void DrawnStatusItem::showFrame(double progress) {
    if (progress >= 1) {
        shown_ = target_;
    } else {
        QImage frame(target_.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        frame.setDevicePixelRatio(scale);
        QPainter painter(&frame);
        painter.setOpacity(1 - progress);
        painter.drawImage(QPointF(0, 0), from_);
        painter.setOpacity(progress);
        painter.drawImage(QPointF(0, 0), target_);
        painter.end();
        shown_ = frame;
    }
    present(shown_);
}

}  // namespace kestr
