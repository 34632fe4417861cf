// One display's slots while a window is drag-snapped: the slots, the highlighted one and
// the window's opacity, with the user interface's window (when there is a presenter)
// showing them. Made transparent and hidden; the drag tracker shows it and fades it in.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Core/ValueAnimation.h"
#include "DragSnap/SnapZonePresenter.h"
#include "Platform/Displays.h"

namespace kestr {

class SnapZoneOverlay {
public:
    static constexpr double fadeDuration = 0.1;

    SnapZoneOverlay(DisplayID displayID, std::vector<Rect> zones, SnapZonePresenter* presenter);

    const DisplayID displayID;
    // The display's global bounds when the overlay was made.
    const Rect axBounds;
    const std::vector<Rect>& zones() const { return zones_; }
    std::optional<std::size_t> highlightedIndex() const { return highlighted_; }
    double alphaValue() const { return alpha_; }
    bool isVisible() const { return visible_; }

    void setHighlightedIndex(std::optional<std::size_t> index);
    void orderFrontRegardless();
    // Fades to `target` over 0.1 s; nothing when already there (within 0.001).
    void animate(double target);
    void orderOut();

private:
    void setAlpha(double alpha);

    std::vector<Rect> zones_;
    std::optional<std::size_t> highlighted_;
    double alpha_ = 0;
    bool visible_ = false;
    std::unique_ptr<SnapZoneWindow> window_;
    ValueAnimation fade_;
};

}  // namespace kestr
