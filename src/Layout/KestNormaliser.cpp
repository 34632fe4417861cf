#include "Layout/KestNormaliser.h"

#include "Layout/EdgeGroupDetector.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {
constexpr double snapThreshold = 4;
constexpr double minDimension = 120;

// Frames clipped to their display's visible area, edges that nearly meet snapped onto
// one line, and the edge groups found again from the result.
void tidyFrames(Layout& layout, double mainTopKept) {
    layout.refitFrames(
        [mainTopKept](const ScreenFrame& f) { return DisplayManager::clipFrameToVisible(f, mainTopKept); });
    const auto groups = EdgeGroupDetector::detectGroups(layout.items, snapThreshold, minDimension);
    EdgeGroupDetector::snapItemsToGroups(layout.items, groups);
    layout.edgeGroups = EdgeGroupDetector::detectGroups(layout.items, snapThreshold, minDimension);
}

}  // namespace

void KestNormaliser::normalise(LayoutStore& store, double mainTopKept) {
    store.tidy([mainTopKept](Layout& kest) -> std::optional<StoredForm::Untidied> {
        if (kest.hasDesktopJunk()) {
            StoredForm::Untidied before{kest, {}, {}};
            kest = kest.strippingDesktopJunk();
            tidyFrames(kest, mainTopKept);
            return before;
        }
        // Most kests change in their edge groups at most (which get new ids each time
        // they are found): only those and the frames are kept aside, not a copy of the kest.
        StoredForm::Untidied before{std::nullopt, {}, kest.edgeGroups};
        before.frames.reserve(kest.items.size());
        for (const LayoutItem& item : kest.items) before.frames.push_back({item.targetFrame, item.capturedFrame});
        tidyFrames(kest, mainTopKept);
        bool same = before.edgeGroups == kest.edgeGroups;
        for (std::size_t i = 0; same && i < kest.items.size(); ++i) {
            same = before.frames[i].target == kest.items[i].targetFrame &&
                   before.frames[i].captured == kest.items[i].capturedFrame;
        }
        if (same) return std::nullopt;
        return before;
    });
}

}  // namespace kestr
