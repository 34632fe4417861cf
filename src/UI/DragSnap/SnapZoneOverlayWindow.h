// The click-through window that covers one display while a window is drag-snapped and
// draws the slots as rounded translucent rectangles, the highlighted one in the accent
// colour; without a compositing manager, as opaque outlines only.
#pragma once

#include <QWidget>

#include "DragSnap/SnapZonePresenter.h"

namespace kestr {

class SnapZoneOverlayWindow : public QWidget, public SnapZoneWindow {
public:
    static constexpr double inset = 6.0;
    static constexpr double corner = 10.0;

    // Placed on the display's global bounds, hidden and transparent.
    explicit SnapZoneOverlayWindow(const Rect& displayBounds);

    void orderFront() override;
    void setAlpha(double alpha) override;
    void redraw(const std::vector<Rect>& zones, std::optional<std::size_t> highlighted) override;
    void orderOut() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRegion outlines() const;
    QRegion outline(std::size_t zone) const;

    const bool blends_;
    std::vector<Rect> zones_;
    std::optional<std::size_t> highlighted_;
};

// Makes the overlay windows of drag snap.
class QtSnapZonePresenter : public SnapZonePresenter {
public:
    std::unique_ptr<SnapZoneWindow> makeWindow(const Rect& displayBounds) override;
};

}  // namespace kestr
