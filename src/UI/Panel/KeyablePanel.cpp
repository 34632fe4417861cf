#include "UI/Panel/KeyablePanel.h"

#include <QKeyEvent>
#include <QPainter>

#include "Platform/Platform.h"
#include "UI/AdaptiveColor.h"
#include "UI/NativeWindow.h"
#include "UI/RoundedWindowShape.h"

namespace kestr {

KeyablePanel::KeyablePanel()
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), shape_(new RoundedWindowShape(*this, cornerRadius)) {
    setFocusPolicy(Qt::StrongFocus);
    keepOffTaskbars(*this);
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
    // The menu material lets a blurred hint of what lies under it through; unblurred,
    // that would be the text of the windows under the panel, so it is opaque then.
    const int alpha = !hasPlatform() || platform().capabilities().blurBehindWindows ? 248 : 255;
    const AdaptiveColor material{QColor(246, 246, 246, alpha), QColor(40, 40, 42, alpha)};
    shape_->paint(p, material.resolved());
}

}  // namespace kestr
