#include "Layout/KestNormaliser.h"

#include "Layout/EdgeGroupDetector.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {
constexpr double snapThreshold = 4;
constexpr double minDimension = 120;
}  // namespace

void KestNormaliser::normalise(LayoutStore& store) {
    store.tidy([](const Layout& stored) {
        Layout layout = stored.strippingDesktopJunk();
        for (LayoutItem& item : layout.items) {
            item.targetFrame = DisplayManager::clipFrameToVisible(item.targetFrame);
            if (item.capturedFrame) item.capturedFrame = DisplayManager::clipFrameToVisible(*item.capturedFrame);
        }
        const auto groups = EdgeGroupDetector::detectGroups(layout.items, snapThreshold, minDimension);
        EdgeGroupDetector::snapItemsToGroups(layout.items, groups);
        layout.edgeGroups = EdgeGroupDetector::detectGroups(layout.items, snapThreshold, minDimension);
        return layout;
    });
}

}  // namespace kestr
