// Hands the key presses and left- and right-button mouse events of kestr's own windows
// to the local event monitors first, as the window system does, so that what listens
// there hears them (Escape during an edge drag) and the desktop knows where the pointer
// is and which buttons are down while one of our windows has the mouse (an edge handle
// being dragged). An event a monitor swallowed goes no further. Installed on the
// application for the life of the program.
#pragma once

#include <QObject>

namespace kestr {

class LocalEventBridge : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestr
