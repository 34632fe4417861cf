// Drag snap: while the user drags another application's window with the drag-snap
// modifier held, the slots of the active kest on the display under the pointer show in
// a click-through overlay, the slot under the pointer is highlighted, and releasing the
// mouse over a slot fits the window into it. The tracker only watches global mouse
// monitors; it never changes an event.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "DragSnap/SnapZoneOverlay.h"
#include "DragSnap/SnapZonePresenter.h"
#include "Platform/Accessibility.h"
#include "Platform/Displays.h"
#include "Platform/EventMonitors.h"

namespace kestr {

class WindowDragTracker {
public:
    static constexpr double dragThreshold = 8.0;
    static constexpr double resizeThreshold = 3.0;

    WindowDragTracker();
    static WindowDragTracker& shared();

    bool enabled = false;
    std::vector<MonitorToken> monitors;
    std::optional<AXElement> tracked;
    Point initialPos;
    Size initialSize;
    bool draggingWindow = false;
    std::vector<std::unique_ptr<SnapZoneOverlay>> overlays;
    std::optional<DisplayID> overlayDisplay;
    // Draws the overlays; none draws nothing (the slots are still tracked).
    std::shared_ptr<SnapZonePresenter> presenter;

    void setEnabled(bool on);
    // Registers the mouse-down, dragged and up monitors; does nothing when they are
    // already registered.
    void installMonitors();

    // The modifier keys that must be held: the command, option, control and shift bits
    // of the stored preference, or command when it names none of them.
    static std::uint64_t requiredModifiers();

private:
    void removeMonitors();
    void add(EventMask mask, void (WindowDragTracker::*operation)());
    void onDown();
    void onDragged();
    void onUp();
    bool modifierHeld() const;
    bool resizing() const;
    void buildOverlays(std::optional<DisplayID> display);
    void buildOverlaysOnSavedDisplays(const Layout& kest);
    void addOverlay(DisplayID display, std::vector<Rect> zones);
    std::vector<Rect> rescaledSlots(const Layout& kest, DisplayID target) const;
    static std::optional<std::string> chooseSource(const std::map<std::string, std::vector<Rect>>& groups,
                                                   DisplayID cursorDisplay);
    void teardownOverlays();

    std::shared_ptr<WindowDragTracker*> self_;
};

}  // namespace kestr
