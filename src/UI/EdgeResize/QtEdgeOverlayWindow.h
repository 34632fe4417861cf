// The window over one display that draws the handle of the edge the pointer is near — a
// thin line with fading ends and a pill-shaped knob that grows into a tinted glass
// capsule while pressed — and hands its mouse events to the overlay's model. It is
// shaped to the handle: outside it the display shows through and clicks pass on.
#pragma once

#include <QWidget>
#include <optional>

#include "EdgeResize/EdgeOverlay.h"
#include "EdgeResize/EdgeOverlayPresenter.h"

class QPainter;

namespace kestr {

class QtEdgeOverlayWindow : public QWidget, public EdgeOverlayWindow {
public:
    explicit QtEdgeOverlayWindow(EdgeOverlay& overlay);

    void orderFront() override;
    void orderOut() override;
    void setAlpha(double alpha) override;
    void setIgnoresMouseEvents(bool ignores) override;
    void redraw() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawGrabber(QPainter& painter, const EdgeOverlay::Drawing& d);
    void applyShape();

    EdgeOverlay& overlay_;
    // Whether a compositing manager blends the clear parts; without one the handle is
    // drawn opaque in a shape of its own.
    const bool blends_;
    bool ignoresMouse_ = true;
    QRegion shownRegion_;
    QRegion inputRegion_;
    // What the window shows now: a redraw that would paint the same again paints nothing.
    std::optional<EdgeOverlay::Drawing> shown_;
};

class QtEdgeOverlayPresenter : public EdgeOverlayPresenter {
public:
    std::unique_ptr<EdgeOverlayWindow> makeWindow(EdgeOverlay& overlay) override;
};

}  // namespace kestr
