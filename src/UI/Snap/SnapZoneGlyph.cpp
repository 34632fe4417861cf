#include "UI/Snap/SnapZoneGlyph.h"

#include <QPainter>
#include <QPainterPath>

#include "UI/AccentColor.h"
#include "UI/SystemStyle.h"

namespace kestr {

SnapZoneGlyph::SnapZoneGlyph(QWidget* parent) : QWidget(parent) { setFixedSize(28, 17); }

void SnapZoneGlyph::setAction(std::optional<SnapAction> action) {
    action_ = action;
    update();
}

void SnapZoneGlyph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
    QPainterPath frame;
    frame.addRoundedRect(r, 2.5, 2.5);
    if (action_) {
        // A pretend window in the middle, for the actions that depend on the window.
        const QRectF window = r.adjusted(r.width() * 0.28, r.height() * 0.28, -r.width() * 0.28, -r.height() * 0.28);
        const Rect visible{{r.x(), r.y()}, {r.width(), r.height()}};
        const Rect current{{window.x(), window.y()}, {window.width(), window.height()}};
        if (auto target = action_->targetRect(visible, current)) {
            p.save();
            p.setClipPath(frame);
            const QRectF zone(target->origin.x, target->origin.y, target->size.width, target->size.height);
            p.fillRect(zone.normalized().intersected(r), accentColor(0.55));
            p.restore();
        }
    }
    p.setPen(QPen(SystemStyle::separator().resolved(), 1));
    p.drawPath(frame);
}

}  // namespace kestr
