#include "Layout/ApplyContext.h"

#include <algorithm>

#include "Layout/ItemWindows.h"
#include "Window/WindowFinder.h"

namespace kestr {

bool LayoutApplier::ApplyContext::isClaimed(AXElement window) const {
    return std::find(claimedWindows.begin(), claimedWindows.end(), window) != claimedWindows.end();
}

void LayoutApplier::ApplyContext::claim(AXElement window) {
    claimedWindows.push_back(window);
    windowCache.forget(window);
}

AXElementList LayoutApplier::ApplyContext::unclaimed(const AXElementList& windows) const {
    return ItemWindows::excluding(windows, claimedWindows);
}

void LayoutApplier::ApplyContext::noteItems(const std::vector<LayoutItem>& items) {
    for (const LayoutItem& item : items) {
        if (item.capturedWindowTitle && !item.capturedWindowTitle->empty())
            capturedTitlesByBundle[item.appBundleID].push_back(*item.capturedWindowTitle);
        if (item.windowMatcher.namesTitle()) titledItemsToCome[item.appBundleID].push_back(&item);
    }
}

void LayoutApplier::ApplyContext::takeTurn(const LayoutItem& item) {
    const auto found = titledItemsToCome.find(item.appBundleID);
    if (found == titledItemsToCome.end()) return;
    auto& items = found->second;
    const auto own = std::find(items.begin(), items.end(), &item);
    if (own != items.end()) items.erase(own);
}

AXElementList LayoutApplier::ApplyContext::namedForOthers(const LayoutItem& item, const AXElementList& windows) const {
    const auto found = titledItemsToCome.find(item.appBundleID);
    if (found == titledItemsToCome.end()) return {};
    AXElementList named;
    for (const LayoutItem* other : found->second) {
        if (other == &item) continue;
        for (AXElement w : WindowFinder::candidateWindows(other->windowMatcher, windows, other->appName)) {
            if (std::find(named.begin(), named.end(), w) == named.end()) named.push_back(w);
        }
    }
    if (named.empty() || !item.windowMatcher.namesTitle()) return named;
    return ItemWindows::excluding(named, WindowFinder::candidateWindows(item.windowMatcher, named, item.appName));
}

bool LayoutApplier::ApplyContext::mayOpenWindow() const { return windowsOpened < maxWindowsOpened; }

bool LayoutApplier::ApplyContext::openWindow() {
    if (!mayOpenWindow()) return false;
    ++windowsOpened;
    return true;
}

void LayoutApplier::ApplyContext::addUnplaced(const std::string& name, const std::string& bundleID) {
    const bool listed = std::any_of(unplacedRunningApps.begin(), unplacedRunningApps.end(),
                                    [&](const UnplacedApp& app) { return app.bundleID == bundleID; });
    if (!listed) unplacedRunningApps.push_back({name, bundleID});
}

}  // namespace kestr
