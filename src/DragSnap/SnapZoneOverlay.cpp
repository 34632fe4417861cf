#include "DragSnap/SnapZoneOverlay.h"

#include <cmath>

#include "Platform/Platform.h"

namespace kestr {

SnapZoneOverlay::SnapZoneOverlay(DisplayID id, std::vector<Rect> zones, SnapZonePresenter* presenter)
    : displayID(id), axBounds(platform().displays().displayBounds(id)), zones_(std::move(zones)) {
    if (presenter) {
        window_ = presenter->makeWindow(axBounds);
        window_->redraw(zones_, highlighted_);
    }
}

void SnapZoneOverlay::setHighlightedIndex(std::optional<std::size_t> index) {
    highlighted_ = index;
    if (window_) window_->redraw(zones_, highlighted_);
}

void SnapZoneOverlay::orderFrontRegardless() {
    visible_ = true;
    if (window_) window_->orderFront();
}

void SnapZoneOverlay::animate(double target) {
    if (!(std::fabs(alpha_ - target) > 0.001)) return;
    fade_.start(alpha_, target, fadeDuration, [this](double a) { setAlpha(a); });
}

void SnapZoneOverlay::orderOut() {
    fade_.cancel();
    visible_ = false;
    if (window_) window_->orderOut();
}

void SnapZoneOverlay::setAlpha(double alpha) {
    alpha_ = alpha;
    if (window_) window_->setAlpha(alpha);
}

}  // namespace kestr
