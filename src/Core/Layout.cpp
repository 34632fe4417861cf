#include "Core/Layout.h"

#include <algorithm>

namespace kestr {

namespace {

// Finder's desktop shows up as a window without a title that covers the whole display;
// capture records it, but it is never meant to be moved.
bool isDesktopItem(const LayoutItem& item) {
    if (item.appBundleID != "com.apple.finder") return false;
    if (item.capturedWindowTitle) return false;
    if (!item.windowMatcher.is<WindowMatcher::WindowIndex>()) return false;
    if (!item.targetFrame.dispW) return false;
    return item.targetFrame.width >= *item.targetFrame.dispW - 2.0;
}

}  // namespace

Layout Layout::strippingDesktopJunk() const {
    Layout copy = *this;
    std::erase_if(copy.items, isDesktopItem);
    return copy;
}

bool Layout::hasDesktopJunk() const { return std::any_of(items.begin(), items.end(), isDesktopItem); }

void Layout::refitFrames(const std::function<ScreenFrame(const ScreenFrame&)>& refit) {
    for (LayoutItem& item : items) {
        item.targetFrame = refit(item.targetFrame);
        if (item.capturedFrame) item.capturedFrame = refit(*item.capturedFrame);
    }
}

}  // namespace kestr
