#include "UI/NativeWindow.h"

#include <QtGui/qguiapplication_platform.h>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include "Platform/Platform.h"

namespace kestr {

std::optional<NativeWindow> nativeWindow(QWidget& window) {
    if (!hasPlatform() || !qGuiApp) return std::nullopt;
    // Qt's platforms other than X11 answer this interface without a connection, if at all.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return std::nullopt;
    return NativeWindow{x11->connection(), static_cast<std::uint64_t>(window.winId())};
}

namespace {

// Qt sends a widget its show event after it has made the native window and before it
// maps it: the moment a window manager reads the window's states. The request is made
// again once Qt has asked for the window to be mapped, for a window manager that had not
// yet heard of its last hiding when it was made.
class BeforeEachShow final : public QObject {
public:
    using Request = void (NativeWindows::*)(const NativeWindow&);
    BeforeEachShow(QWidget& window, Request request) : QObject(&window), request_(request) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            ask();
            QMetaObject::invokeMethod(this, &BeforeEachShow::ask, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void ask() {
        auto* window = static_cast<QWidget*>(parent());
        if (!window->isVisible()) return;
        if (const auto native = nativeWindow(*window)) (platform().nativeWindows().*request_)(*native);
    }

    Request request_;
};

}  // namespace

void keepOffTaskbars(QWidget& window) { new BeforeEachShow(window, &NativeWindows::keepOffTaskbars); }

void showOnEveryDesktop(QWidget& window) { new BeforeEachShow(window, &NativeWindows::showOnEveryDesktop); }

void showAsPanel(QWidget& window) { new BeforeEachShow(window, &NativeWindows::showAsPanel); }

}  // namespace kestr
