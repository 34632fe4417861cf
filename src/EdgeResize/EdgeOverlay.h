// The handle of one display: the edge groups it can show, the one shown now, the press
// and colour animations, the geometry of the line and the knob, and what the mouse does
// on it. The window that draws it (EdgeOverlayPresenter) only reads this state and
// forwards the mouse.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/EdgeGroup.h"
#include "Core/ValueAnimation.h"
#include "EdgeResize/EdgeOverlayPresenter.h"
#include "Platform/Geometry.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

enum class EdgeLineColor { idle, pressed, clipped, ghost };

class EdgeOverlay {
public:
    static constexpr double fadeDuration = 0.08;
    static constexpr double frameInterval = 1.0 / 60.0;
    static constexpr double grabberLength = 47.6;
    static constexpr double grabberGirth = 14.0;

    // `bounds`: the display's global bounds; the overlay's own coordinates are
    // display-local with a top-left origin.
    EdgeOverlay(std::string displayUUID, std::vector<EdgeGroup> groups, Rect bounds, EdgeOverlayPresenter* presenter);
    ~EdgeOverlay();
    EdgeOverlay(const EdgeOverlay&) = delete;
    EdgeOverlay& operator=(const EdgeOverlay&) = delete;

    const std::string displayUUID;
    const std::vector<EdgeGroup> groups;
    const Rect bounds;

    // ---- the window ----
    double alphaValue() const { return alpha_; }
    bool ignoresMouseEvents() const { return ignoresMouse_; }
    bool isVisible() const { return visible_; }
    void orderFrontRegardless();
    void orderOut();
    void setIgnoresMouseEvents(bool ignores);
    // Shows the group's handle and fades in over 0.08 s, or fades out for none.
    void setActiveGroup(std::optional<Uuid> id);

    // ---- the handle ----
    std::optional<Uuid> activeGroupID;
    double pressProgress = 0;
    double pressTarget = 0;
    double spreadProgress = 0;
    EdgeLineColor lineBaseColor = EdgeLineColor::pressed;
    std::optional<EdgeLineColor> lineNewColor;
    double colorReveal = 0;
    bool lastClipped = false;
    bool isAnimating() const { return pressTimer_ != nullptr; }

    // Follows the drag session: pressed while it drags this overlay's active group.
    void updatePressState();
    void pressTick();

    const EdgeGroup* activeGroup() const;
    bool isBeingDragged() const;

    struct Span {
        double lo = 0;
        double hi = 0;
    };
    Span lineSpan(const EdgeGroup& group) const;
    double spanMidpoint(const EdgeGroup& group) const;
    struct Knob {
        Rect rect;
        double radius = 0;
        double girth = 0;
        friend bool operator==(const Knob&, const Knob&) = default;
    };
    Knob knobMetrics(const EdgeGroup& group, double coordinate, double progress) const;

    // Everything the window paints, in the overlay's coordinates.
    struct Layer {
        EdgeLineColor color = EdgeLineColor::idle;
        // The part of the line shown, grown from the span's midpoint.
        Rect segment;
        friend bool operator==(const Layer&, const Layer&) = default;
    };
    struct Drawing {
        bool vertical = true;
        Rect line;
        // Where the fades of the line's ends split, 0 to 1 along it.
        double center = 0.5;
        std::optional<Rect> ghost;
        std::vector<Layer> layers;
        Knob knob;
        double progress = 0;
        EdgeLineColor accent = EdgeLineColor::pressed;
        double glassAlpha = 0;
        friend bool operator==(const Drawing&, const Drawing&) = default;
    };
    // None while no handle shows.
    std::optional<Drawing> drawing() const;

    // ---- the mouse, in the overlay's window ----
    void mouseDown(int clickCount);
    void mouseDragged();
    void mouseUp();

private:
    void startTimer();
    void updateClippedTransition();
    void setAlpha(double alpha);
    void redraw();

    double alpha_ = 0;
    bool ignoresMouse_ = true;
    bool visible_ = false;
    ValueAnimation fade_;
    std::shared_ptr<MainActor::RepeatingTimer> pressTimer_;
    std::unique_ptr<EdgeOverlayWindow> window_;
};

}  // namespace kestr
