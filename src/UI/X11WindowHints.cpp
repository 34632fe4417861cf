#include "UI/X11WindowHints.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kestr {

namespace {

// Sets a CARDINAL property of the window; elsewhere than on X11 nothing happens.
void setCardinals(QWidget& window, const char* name, const std::uint32_t* values, std::uint32_t count) {
    // Other Qt platforms may answer the X11 interface without a connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    xcb_connection_t* c = x11->connection();
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                                       nullptr);
    if (!atom) return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom->atom,
                        XCB_ATOM_CARDINAL, 32, count, values);
    std::free(atom);
    xcb_flush(c);
}

}  // namespace

void showOnEveryDesktop(QWidget& window) {
    // The desktop "all" of the window manager conventions, read when the window is mapped.
    const std::uint32_t everyDesktop = 0xFFFFFFFF;
    setCardinals(window, "_NET_WM_DESKTOP", &everyDesktop, 1);
}

void reserveTopEdge(QWidget& window, const QRect& area) {
    // left, right, top, bottom, then the start and end of each along its edge.
    std::uint32_t strut[12] = {};
    if (area.top() == 0 && !area.isEmpty()) {
        strut[2] = static_cast<std::uint32_t>(area.bottom() + 1);
        strut[8] = static_cast<std::uint32_t>(area.left());
        strut[9] = static_cast<std::uint32_t>(area.right());
    }
    setCardinals(window, "_NET_WM_STRUT_PARTIAL", strut, 12);
    setCardinals(window, "_NET_WM_STRUT", strut, 4);
}

}  // namespace kestr
