#include "UI/NativeWindow.h"

#include <QtGui/qguiapplication_platform.h>
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

}  // namespace kestr
