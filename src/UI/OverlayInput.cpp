#include "UI/OverlayInput.h"

#include <xcb/shape.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <vector>

#include "Platform/Platform.h"

namespace kestr {

Qt::WindowFlags overlayWindowFlags() {
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
           Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput;
}

bool overlaysBlend() { return !hasPlatform() || platform().capabilities().compositingManager; }

namespace {

// Sets one of the X window's shapes in place; elsewhere than on X11 nothing happens.
void setShape(QWidget& window, xcb_shape_kind_t kind, const QRegion& region) {
    // Other Qt platforms may answer the X11 interface without a connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& r : region) {
        rects.push_back(xcb_rectangle_t{static_cast<std::int16_t>(r.x()), static_cast<std::int16_t>(r.y()),
                                        static_cast<std::uint16_t>(r.width()), static_cast<std::uint16_t>(r.height())});
    }
    xcb_shape_rectangles(x11->connection(), XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED,
                         static_cast<xcb_window_t>(window.winId()), 0, 0, static_cast<std::uint32_t>(rects.size()),
                         rects.data());
    xcb_flush(x11->connection());
}

}  // namespace

void setOverlayInputRegion(QWidget& window, const QRegion& region) { setShape(window, XCB_SHAPE_SK_INPUT, region); }

void setOverlayVisibleRegion(QWidget& window, const QRegion& region) {
    setShape(window, XCB_SHAPE_SK_BOUNDING, region);
}

}  // namespace kestr
