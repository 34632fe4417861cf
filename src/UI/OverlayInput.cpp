#include "UI/OverlayInput.h"

#include <QWidget>
#include <vector>

#include "Platform/Platform.h"
#include "UI/NativeWindow.h"

namespace kestr {

Qt::WindowFlags overlayWindowFlags() {
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
           Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput;
}

bool overlaysBlend() { return !hasPlatform() || platform().capabilities().compositingManager; }

namespace {

std::vector<Rect> rects(const QRegion& region) {
    std::vector<Rect> out;
    for (const QRect& r : region) out.emplace_back(r.x(), r.y(), r.width(), r.height());
    return out;
}

}  // namespace

void setOverlayInputRegion(QWidget& window, const QRegion& region) {
    if (const auto native = nativeWindow(window)) platform().nativeWindows().setInputShape(*native, rects(region));
}

void setOverlayVisibleRegion(QWidget& window, const QRegion& region) {
    if (const auto native = nativeWindow(window)) platform().nativeWindows().setVisibleShape(*native, rects(region));
}

}  // namespace kestr
