#include "App/ServiceWiring.h"

#include "Core/HotkeyManager.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutApplier.h"
#include "Snap/SnapApplier.h"
#include "UI/DragSnap/SnapZoneOverlayWindow.h"
#include "UI/EdgeResize/QtEdgeOverlayWindow.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

// A kest's shortcut arranges it around the display under the pointer, reusing open
// windows and bringing back missing ones.
Task<std::optional<Layout>> applyByShortcut(Layout layout) {
    const auto report = co_await LayoutApplier::apply(std::move(layout), LayoutApplier::ApplyMode::restoreMissing,
                                                      LayoutApplier::FrameSource::captured,
                                                      DisplayManager::displayUnderMouse());
    co_return report.effectiveLayout;
}

}  // namespace

void ServiceWiring::connect() {
    HotkeyManager& hotkeys = HotkeyManager::shared();
    hotkeys.applyKest = applyByShortcut;
    hotkeys.applySnap = [](SnapAction action) { return SnapApplier::apply(action); };
    hotkeys.setTrackerActiveLayout = [](const std::optional<Layout>& layout) {
        EdgeProximityTracker::shared().setActiveLayout(layout);
    };
    hotkeys.setOverlayActiveLayout = [](const std::optional<Layout>& layout) {
        EdgeOverlayManager::shared().setActiveLayout(layout);
    };
    WindowDragTracker::shared().presenter = std::make_shared<QtSnapZonePresenter>();
    EdgeOverlayManager::shared().presenter = std::make_shared<QtEdgeOverlayPresenter>();
}

}  // namespace kestr
