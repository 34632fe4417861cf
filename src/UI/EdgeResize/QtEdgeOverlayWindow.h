// The clear window over one display that draws the handle of the edge the pointer is
// near — a thin line with fading ends and a pill-shaped knob that grows into a tinted
// glass capsule while pressed — and hands its mouse events to the overlay's model.
#pragma once

#include <QWidget>

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

    EdgeOverlay& overlay_;
    bool ignoresMouse_ = true;
};

class QtEdgeOverlayPresenter : public EdgeOverlayPresenter {
public:
    std::unique_ptr<EdgeOverlayWindow> makeWindow(EdgeOverlay& overlay) override;
};

}  // namespace kestr
