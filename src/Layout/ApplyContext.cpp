#include "Layout/ApplyContext.h"

#include <algorithm>

#include "Layout/ItemWindows.h"

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

void LayoutApplier::ApplyContext::addUnplaced(const std::string& name, const std::string& bundleID) {
    const bool listed = std::any_of(unplacedRunningApps.begin(), unplacedRunningApps.end(),
                                    [&](const UnplacedApp& app) { return app.bundleID == bundleID; });
    if (!listed) unplacedRunningApps.push_back({name, bundleID});
}

}  // namespace kestr
