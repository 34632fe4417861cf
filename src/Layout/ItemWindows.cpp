#include "Layout/ItemWindows.h"

#include <algorithm>
#include <unordered_set>

#include "Core/UnicodeText.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"
#include "Window/WindowFinder.h"

namespace kestr {

Rect ItemWindows::globalFrame(const Placement& placement) {
    const Rect bounds = platform().displays().displayBounds(placement.targetID);
    return Rect(bounds.origin.x + placement.local.minX(), bounds.origin.y + placement.local.minY(),
                placement.local.width(), placement.local.height());
}

ScreenFrame ItemWindows::screenFrame(const Placement& placement) {
    ScreenFrame frame;
    frame.displayUUID = placement.targetUUID;
    frame.x = placement.local.minX();
    frame.y = placement.local.minY();
    frame.width = placement.local.width();
    frame.height = placement.local.height();
    return frame;
}

AXElementList ItemWindows::excluding(const AXElementList& windows, const AXElementList& taken) {
    // A kest's later items find many windows taken: each is looked up, not searched for.
    std::unordered_set<std::uint64_t> handles;
    for (AXElement w : taken) handles.insert(w.handle);
    AXElementList out;
    for (AXElement w : windows) {
        if (!handles.contains(w.handle)) out.push_back(w);
    }
    return out;
}

bool ItemWindows::titleContains(AXElement window, const std::string& text) {
    return UnicodeText::contains(WindowController::title(window).value_or(""), text);
}

void ItemWindows::bringOut(AXElement window) {
    if (WindowController::axBool(window, ax::minimized) == true)
        platform().accessibility().setAttributeValue(window, ax::minimized, AXValue(false));
    WindowController::exitFullScreen(window);
}

std::optional<AXElement> ItemWindows::choose(const LayoutItem& item, const AXElementList& pool,
                                             const std::optional<ScreenFrame>& preferNear) {
    const WindowController::TitleScope titles;
    AXElementList candidates = WindowFinder::candidateWindows(item.windowMatcher, pool, item.appName);
    const std::string title = item.capturedWindowTitle.value_or("");
    if (item.windowMatcher.is<WindowMatcher::FirstWindow>() && !title.empty()) {
        AXElementList titled;
        for (AXElement w : candidates) {
            if (titleContains(w, title)) titled.push_back(w);
        }
        if (!titled.empty()) candidates = std::move(titled);
    }
    if (auto best = WindowFinder::pickBest(candidates, preferNear)) return best;
    return WindowFinder::pickBest(pool, preferNear);
}

}  // namespace kestr
