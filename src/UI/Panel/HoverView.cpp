#include "UI/Panel/HoverView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "UI/Panel/PressableAccessible.h"
#include "UI/SystemStyle.h"

namespace kestr {

HoverView::HoverView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    PressableAccessible::install();
}

bool HoverView::accessibilityPerformPress() {
    press({});
    return true;
}

void HoverView::updateAccessibleName() { setAccessibleName(accessibilityLabel()); }

void HoverView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    press(event->modifiers());
}

void HoverView::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    update();
    QWidget::enterEvent(event);
}

void HoverView::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QWidget::leaveEvent(event);
}

void HoverView::paintHighlight(QPainter& p, double dx, double dy, double radius, bool selected) const {
    QColor fill = selected ? SystemStyle::controlAccent().resolved() : SystemStyle::label().resolved();
    fill.setAlphaF(selected ? 0.18f : 0.08f);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(dx, dy, -dx, -dy), radius, radius);
    p.fillPath(path, fill);
}

void SelectableCell::setKeyboardSelected(bool selected) {
    keyboardSelected_ = selected;
    update();
}

}  // namespace kestr
