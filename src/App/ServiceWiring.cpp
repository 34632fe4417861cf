#include "App/ServiceWiring.h"

#include "Core/HotkeyManager.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/KestShortcut.h"
#include "Snap/SnapApplier.h"
#include "UI/DragSnap/SnapZoneOverlayWindow.h"
#include "UI/EdgeResize/QtEdgeOverlayWindow.h"

namespace kestr {

void ServiceWiring::connect() {
    HotkeyManager& hotkeys = HotkeyManager::shared();
    hotkeys.applyKest = KestShortcut::apply;
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
