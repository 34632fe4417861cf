#include "UI/LocalEventBridge.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "Platform/Platform.h"
#include "UI/KeyMapping.h"

namespace kestr {

namespace {

// Screen space has its origin at the bottom left of the main display.
Point screenPoint(QPointF global) {
    Displays& displays = platform().displays();
    const double height = displays.displayBounds(displays.mainDisplayID()).height();
    return Point{global.x(), height - global.y()};
}

std::optional<Event> keyEvent(const QKeyEvent& key) {
    const auto code = virtualKeyCode(key.key());
    if (!code) return std::nullopt;
    Event e;
    e.type = EventType::keyDown;
    e.location = platform().displays().mouseLocation();
    e.modifierFlags = modifierFlags(key.modifiers());
    e.keyCode = *code;
    e.characters = key.text().toStdString();
    return e;
}

std::optional<Event> mouseEvent(QEvent::Type type, const QMouseEvent& mouse) {
    Event e;
    const bool left = mouse.button() == Qt::LeftButton;
    const bool right = mouse.button() == Qt::RightButton;
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!left && !right) return std::nullopt;
            e.type = left ? EventType::leftMouseDown : EventType::rightMouseDown;
            break;
        case QEvent::MouseButtonRelease:
            if (!left && !right) return std::nullopt;
            e.type = left ? EventType::leftMouseUp : EventType::rightMouseUp;
            break;
        default:
            e.type = mouse.buttons() & Qt::LeftButton ? EventType::leftMouseDragged : EventType::mouseMoved;
            break;
    }
    e.location = screenPoint(mouse.globalPosition());
    e.modifierFlags = modifierFlags(mouse.modifiers());
    return e;
}

}  // namespace

bool LocalEventBridge::eventFilter(QObject* watched, QEvent* event) {
    // An event reaches the filter once per object it is offered to; the window's own
    // delivery is the one that counts.
    if (!watched->isWindowType()) return false;
    std::optional<Event> e;
    switch (event->type()) {
        case QEvent::KeyPress:
            e = keyEvent(*static_cast<QKeyEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            e = mouseEvent(event->type(), *static_cast<QMouseEvent*>(event));
            break;
        default:
            break;
    }
    if (!e) return false;
    return !platform().eventMonitors().deliverToLocalMonitors(*e);
}

}  // namespace kestr
