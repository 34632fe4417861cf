#include "Layout/LayoutCapture.h"

#include <algorithm>
#include <map>

#include "Core/Uuid.h"
#include "Layout/CapturedContent.h"
#include "Layout/EdgeGroupDetector.h"
#include "Layout/WindowKey.h"
#include "Platform/Date.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

// Windows and frames smaller than this in either direction are not worth restoring.
constexpr double minimumCapturedSide = 50;
constexpr double edgeSnapThreshold = 4.0;
constexpr double edgeMinDimension = 120.0;

// The platform reports no bundle of the running program, so the identifier it is built
// with stands for it.
std::string ownBundleID() { return LayoutCapture::builtInBundleID; }

// Upper window first; level tops, the left one first.
bool screenOrder(const EnumeratedWindow& a, const EnumeratedWindow& b) {
    if (a.position.y != b.position.y) return a.position.y < b.position.y;
    return a.position.x < b.position.x;
}

bool itemOrder(const LayoutItem& a, const LayoutItem& b) {
    if (a.appName != b.appName) return a.appName < b.appName;
    if (a.targetFrame.displayUUID != b.targetFrame.displayUUID)
        return a.targetFrame.displayUUID < b.targetFrame.displayUUID;
    if (a.targetFrame.y != b.targetFrame.y) return a.targetFrame.y < b.targetFrame.y;
    return a.targetFrame.x < b.targetFrame.x;
}

WindowMatcher matcherFor(const EnumeratedWindow& window, int indexAmongPeers,
                         const std::vector<EnumeratedWindow>& peers) {
    if (peers.size() == 1) return WindowMatcher::firstWindow();
    if (window.title.empty()) return WindowMatcher::windowIndex(indexAmongPeers);
    const auto sameTitle =
        std::count_if(peers.begin(), peers.end(), [&](const EnumeratedWindow& p) { return p.title == window.title; });
    if (sameTitle < 2) return WindowMatcher::titleContains(window.title);
    return WindowMatcher::windowIndex(indexAmongPeers);
}

}  // namespace

Layout LayoutCapture::captureCurrent(const std::string& name, const std::optional<std::string>& restrictToDisplayUUID,
                                     bool currentSpaceOnly) {
    std::vector<EnumeratedWindow> windows = WindowEnumerator::enumerateAll();
    if (restrictToDisplayUUID) {
        std::erase_if(windows, [&](const EnumeratedWindow& w) { return w.displayUUID != restrictToDisplayUUID; });
    }
    const std::string own = ownBundleID();
    const Date now = Date::now();
    const WindowKeySet onScreen = currentSpaceWindowKeys();

    // Process groups, each in enumeration order.
    std::map<std::int32_t, std::vector<EnumeratedWindow>> byProcess;
    for (const EnumeratedWindow& w : windows) byProcess[w.pid].push_back(w);

    const CapturedContent content(windows);

    std::vector<LayoutItem> items;
    ItemWindowLimits limits;
    for (auto& [pid, group] : byProcess) {
        if (group.front().bundleID == own) continue;
        std::stable_sort(group.begin(), group.end(), screenOrder);
        for (std::size_t i = 0; i < group.size(); ++i) {
            const EnumeratedWindow& window = group[i];
            const auto key = WindowKey::make(window.pid, window.position, window.size);
            const bool onCurrentSpace = key && onScreen.count(*key) > 0;
            if (!onCurrentSpace && currentSpaceOnly) continue;
            auto item = makeItem(window, static_cast<int>(i), group);
            if (!item) continue;
            item->capturedSpaceLabel = onCurrentSpace ? "This Space" : "Other Space";
            content.fill(*item, window);
            if (window.limits != WindowLimits{}) limits.emplace(item->id, window.limits);
            items.push_back(std::move(*item));
        }
    }

    std::stable_sort(items.begin(), items.end(), itemOrder);

    // A terminal stops short of an edge by part of a character cell: its size step widens
    // the threshold, and its own minimum size bounds its edges.
    const auto rough = EdgeGroupDetector::detectGroups(items, edgeSnapThreshold, edgeMinDimension, limits);
    EdgeGroupDetector::snapItemsToGroups(items, rough);
    std::vector<EdgeGroup> groups = EdgeGroupDetector::detectGroups(items, edgeSnapThreshold, edgeMinDimension, limits);
    for (LayoutItem& item : items) item.capturedFrame = item.targetFrame;

    Layout layout;
    layout.id = Uuid::random();
    layout.name = name;
    layout.items = std::move(items);
    layout.edgeGroups = std::move(groups);
    layout.createdAt = now;
    layout.updatedAt = now;
    return layout;
}

std::optional<LayoutItem> LayoutCapture::makeItem(const EnumeratedWindow& window, int indexAmongPeers,
                                                  const std::vector<EnumeratedWindow>& peers) {
    if (window.isMinimized) return std::nullopt;
    if (window.size.width < minimumCapturedSide || window.size.height < minimumCapturedSide) return std::nullopt;
    if (!window.displayUUID || !window.displayLocalPosition) return std::nullopt;

    Displays& displays = platform().displays();
    const DisplayID display = displays.displayIDFromUUIDString(*window.displayUUID);
    if (display == 0) return std::nullopt;
    const Rect bounds = displays.displayBounds(display);

    ScreenFrame frame;
    frame.displayUUID = *window.displayUUID;
    frame.x = window.displayLocalPosition->x;
    frame.y = window.displayLocalPosition->y;
    frame.width = window.size.width;
    frame.height = window.size.height;
    if (bounds.width() > 0) frame.dispW = bounds.width();
    if (bounds.height() > 0) frame.dispH = bounds.height();
    frame.dispX = bounds.x();
    frame.dispY = bounds.y();

    const ScreenFrame clipped = DisplayManager::clipFrameToVisible(frame);
    if (clipped.width < minimumCapturedSide || clipped.height < minimumCapturedSide) return std::nullopt;

    LayoutItem item;
    item.id = Uuid::random();
    item.appBundleID = window.bundleID;
    item.appName = window.appName;
    item.windowMatcher = matcherFor(window, indexAmongPeers, peers);
    item.targetFrame = clipped;
    if (!window.title.empty()) item.capturedWindowTitle = window.title;
    item.launchIfMissing = true;
    return item;
}

}  // namespace kestr
