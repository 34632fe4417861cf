#include "UI/Panel/KeyablePanel.h"

#include <QKeyEvent>
#include <QPainter>

#include "UI/AdaptiveColor.h"
#include "UI/RoundedWindowShape.h"

namespace kestr {

KeyablePanel::KeyablePanel()
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), shape_(new RoundedWindowShape(*this, cornerRadius)) {
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
    const AdaptiveColor material{QColor(246, 246, 246, 248), QColor(40, 40, 42, 248)};
    shape_->paint(p, material.resolved());
}

}  // namespace kestr
