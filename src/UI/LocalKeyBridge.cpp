#include "UI/LocalKeyBridge.h"

#include <QKeyEvent>

#include "Platform/Platform.h"
#include "UI/KeyMapping.h"

namespace kestr {

bool LocalKeyBridge::eventFilter(QObject* watched, QEvent* event) {
    // A key press reaches the filter once per widget it is offered to; the window's own
    // delivery is the one that counts.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const auto code = virtualKeyCode(key->key());
    if (!code) return false;
    Event e;
    e.type = EventType::keyDown;
    e.location = platform().displays().mouseLocation();
    e.modifierFlags = modifierFlags(key->modifiers());
    e.keyCode = *code;
    e.characters = key->text().toStdString();
    return !platform().eventMonitors().deliverToLocalMonitors(e);
}

}  // namespace kestr
