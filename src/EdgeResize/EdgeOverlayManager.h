// The on-screen side of edge resizing: one overlay for every display that holds shared
// edges of the active kest, the handle of the edge the pointer is near, and the mouse
// taken only by the overlay that shows a handle.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "EdgeResize/EdgeOverlay.h"
#include "EdgeResize/EdgeOverlayPresenter.h"
#include "EdgeResize/EdgeProximityTracker.h"

namespace kestr {

class EdgeOverlayManager {
public:
    EdgeOverlayManager();
    EdgeOverlayManager(const EdgeOverlayManager&) = delete;
    EdgeOverlayManager& operator=(const EdgeOverlayManager&) = delete;
    static EdgeOverlayManager& shared();

    // Keyed by display UUID string.
    std::map<std::string, std::unique_ptr<EdgeOverlay>> windows;
    std::map<std::string, std::vector<EdgeGroup>> groupsByDisplay;
    // Draws the overlays; none draws nothing (the handles are still tracked).
    std::shared_ptr<EdgeOverlayPresenter> presenter;

    void setActiveLayout(const std::optional<Layout>& layout);
    void updateProximity(const std::optional<EdgeProximityTracker::Hit>& hit);

    // Whether the overlay whose handle the drag session holds is still on screen.
    bool showsDraggedHandle() const;

private:
    void rebuildWindows();
    // Whether there is one overlay, over its display as it is now, for each connected
    // display that holds edges, and none for a display that is gone.
    bool windowsMatchDisplays() const;
    void refreshPressStates();

    std::shared_ptr<EdgeOverlayManager*> self_;
};

}  // namespace kestr
