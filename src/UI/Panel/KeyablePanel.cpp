#include "UI/Panel/KeyablePanel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "UI/AdaptiveColor.h"

namespace kestr {

KeyablePanel::KeyablePanel() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
}

// Tab is taken here too: the default handling would move the focus instead.
bool KeyablePanel::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && onKeyDown && onKeyDown(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void KeyablePanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) onHidden();
}

void KeyablePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    const AdaptiveColor material{QColor(246, 246, 246, 248), QColor(40, 40, 42, 248)};
    p.fillPath(shape, material.resolved());
}

}  // namespace kestr
