#include "UI/EveryDesktop.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kestr {

void showOnEveryDesktop(QWidget& window) {
    // Other Qt platforms may answer the X11 interface without a connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    xcb_connection_t* c = x11->connection();
    constexpr const char* name = "_NET_WM_DESKTOP";
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                                       nullptr);
    if (!atom) return;
    // The desktop "all" of the window manager conventions, read when the window is mapped.
    const std::uint32_t everyDesktop = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom->atom,
                        XCB_ATOM_CARDINAL, 32, 1, &everyDesktop);
    std::free(atom);
    xcb_flush(c);
}

}  // namespace kestr
