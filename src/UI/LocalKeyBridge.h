// Hands the key presses of kestr's own windows to the local event monitors first, so
// that what listens there (Escape during an edge drag) hears them, and drops a press a
// monitor swallowed. Installed on the application for the life of the program.
#pragma once

#include <QObject>

namespace kestr {

class LocalKeyBridge : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kestr
