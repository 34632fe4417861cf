#include "EdgeResize/EdgeOverlay.h"

#include <algorithm>
#include <cmath>

#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"

namespace kestr {

EdgeOverlay::EdgeOverlay(std::string uuid, std::vector<EdgeGroup> g, Rect b, EdgeOverlayPresenter* presenter)
    : displayUUID(std::move(uuid)), groups(std::move(g)), bounds(b) {
    if (presenter) window_ = presenter->makeWindow(*this);
}

EdgeOverlay::~EdgeOverlay() {
    if (pressTimer_) pressTimer_->invalidate();
    // The window reads this overlay: it goes first.
    window_.reset();
}

// ---- the window ----

void EdgeOverlay::orderFrontRegardless() {
    visible_ = true;
    if (window_) window_->orderFront();
}

void EdgeOverlay::orderOut() {
    fade_.cancel();
    visible_ = false;
    if (window_) window_->orderOut();
}

void EdgeOverlay::setIgnoresMouseEvents(bool ignores) {
    ignoresMouse_ = ignores;
    if (window_) window_->setIgnoresMouseEvents(ignores);
}

void EdgeOverlay::setAlpha(double alpha) {
    alpha_ = alpha;
    if (window_) window_->setAlpha(alpha);
}

void EdgeOverlay::redraw() {
    if (window_) window_->redraw();
}

void EdgeOverlay::setActiveGroup(std::optional<Uuid> id) {
    if (id != activeGroupID) {
        activeGroupID = id;
        if (id) startTimer();
        redraw();
    }
    const double target = id ? 1.0 : 0.0;
    if (std::fabs(alpha_ - target) > 0.001) {
        fade_.start(alpha_, target, fadeDuration, [this](double a) { setAlpha(a); });
    }
}

// ---- the handle ----

const EdgeGroup* EdgeOverlay::activeGroup() const {
    if (!activeGroupID) return nullptr;
    const auto it =
        std::find_if(groups.begin(), groups.end(), [this](const EdgeGroup& g) { return g.id == *activeGroupID; });
    return it == groups.end() ? nullptr : &*it;
}

bool EdgeOverlay::isBeingDragged() const {
    const EdgeDragSession& session = EdgeDragSession::shared();
    return session.isActive && session.group && activeGroupID && session.group->id == *activeGroupID;
}

void EdgeOverlay::startTimer() {
    if (pressTimer_) return;
    pressTimer_ = platform().mainActor().scheduleRepeating(frameInterval, [this] { pressTick(); });
}

void EdgeOverlay::updatePressState() {
    const bool dragged = isBeingDragged();
    if (dragged && pressTarget != 1) {
        // A new press always begins in the pressed colour.
        pressTarget = 1;
        lineBaseColor = EdgeLineColor::pressed;
        lineNewColor.reset();
        colorReveal = 0;
        lastClipped = false;
        startTimer();
    } else if (!dragged && pressTarget != 0) {
        pressTarget = 0;
        startTimer();
    }
    updateClippedTransition();
    redraw();
}

void EdgeOverlay::updateClippedTransition() {
    const bool dragged = isBeingDragged();
    const bool c = dragged && EdgeDragSession::shared().clipped;
    if (c == lastClipped) return;
    lastClipped = c;
    if (lineNewColor) lineBaseColor = *lineNewColor;
    lineNewColor = c ? EdgeLineColor::clipped : EdgeLineColor::pressed;
    colorReveal = 0;
    startTimer();
}

void EdgeOverlay::pressTick() {
    pressProgress += (pressTarget - pressProgress) * 0.35;
    if (pressTarget > spreadProgress) spreadProgress = std::min(spreadProgress + 0.05, pressTarget);
    if (spreadProgress > pressTarget) spreadProgress = std::max(spreadProgress - 0.05, pressTarget);
    if (lineNewColor) {
        colorReveal = std::min(colorReveal + 0.05, 1.0);
        if (colorReveal >= 1.0) {
            lineBaseColor = *lineNewColor;
            lineNewColor.reset();
            colorReveal = 0;
        }
    }
    if (std::fabs(pressTarget - pressProgress) < 0.01 && std::fabs(pressTarget - spreadProgress) < 0.001 &&
        !lineNewColor) {
        pressProgress = spreadProgress = pressTarget;
        pressTimer_->invalidate();
        pressTimer_.reset();
    }
    redraw();
}

EdgeOverlay::Span EdgeOverlay::lineSpan(const EdgeGroup& g) const {
    const double full = g.axis == Axis::vertical ? bounds.height() : bounds.width();
    if (g.spanStart && g.spanEnd && *g.spanEnd > *g.spanStart) {
        return Span{std::max(0.0, std::min(*g.spanStart, full)), std::max(0.0, std::min(*g.spanEnd, full))};
    }
    return Span{0, full};
}

double EdgeOverlay::spanMidpoint(const EdgeGroup& g) const {
    if (g.spanStart && g.spanEnd) return (*g.spanStart + *g.spanEnd) / 2;
    return g.axis == Axis::vertical ? bounds.height() / 2 : bounds.width() / 2;
}

EdgeOverlay::Knob EdgeOverlay::knobMetrics(const EdgeGroup& g, double coordinate, double p) const {
    const double girth = grabberGirth + 13 * p;
    const double length = grabberLength * (1 + 0.5 * p);
    const double mid = spanMidpoint(g);
    const Rect rect = g.axis == Axis::vertical ? Rect(coordinate - girth / 2, mid - length / 2, girth, length)
                                               : Rect(mid - length / 2, coordinate - girth / 2, length, girth);
    return Knob{rect, girth / 2, girth};
}

std::optional<EdgeOverlay::Drawing> EdgeOverlay::drawing() const {
    const EdgeGroup* g = activeGroup();
    if (!g) return std::nullopt;
    Drawing d;
    d.vertical = g->axis == Axis::vertical;
    d.progress = pressProgress;
    d.accent = lineNewColor.value_or(lineBaseColor);
    const double t = 1 + pressProgress;
    const Span span = lineSpan(*g);
    const double mid = spanMidpoint(*g);
    // Across the line and along it, in the overlay's coordinates.
    const auto strip = [&d](double acrossFrom, double thickness, double from, double to) {
        return d.vertical ? Rect(acrossFrom, from, thickness, to - from) : Rect(from, acrossFrom, to - from, thickness);
    };

    double coordinate = g->coordinate;
    const auto preview = isBeingDragged() ? EdgeDragSession::shared().previewLocalCoord() : std::nullopt;
    if (preview) {
        coordinate = *preview;
        d.ghost = strip(g->coordinate - 0.5, 1.0, span.lo, span.hi);
    }
    d.knob = knobMetrics(*g, coordinate, pressProgress);
    d.line = strip(coordinate - t / 2, t, span.lo, span.hi);
    d.center = span.hi - span.lo > 0.5 ? (mid - span.lo) / (span.hi - span.lo) : 0.5;

    // Each colour shows on a segment grown from the midpoint by its reveal factor.
    const double reach = std::max(mid - span.lo, span.hi - mid);
    const auto layer = [&](EdgeLineColor color, double f) {
        if (!(f > 0.001)) return;
        const double from = std::max(span.lo, mid - f * reach);
        const double to = std::min(span.hi, mid + f * reach);
        d.layers.push_back(Layer{color, strip(coordinate - t / 2, t, from, to)});
    };
    layer(EdgeLineColor::idle, 1.0);
    layer(lineBaseColor, spreadProgress);
    if (lineNewColor) layer(*lineNewColor, spreadProgress * colorReveal);
    d.glassAlpha = pressProgress > 0.01 ? 0.32 * pressProgress : 0;
    return d;
}

// ---- the mouse ----

void EdgeOverlay::mouseDown(int clickCount) {
    const EdgeGroup* g = activeGroup();
    if (!g) return;
    if (clickCount >= 2) {
        spawn(EdgeApplier::applyRevertToBaseline(g->id));
        return;
    }
    Displays& displays = platform().displays();
    const DisplayID display = displays.displayIDFromUUIDString(g->displayUUID);
    if (display == 0) return;
    const Rect b = displays.displayBounds(display);
    EdgeDragSession::shared().start(*g, display, (g->axis == Axis::vertical ? b.x() : b.y()) + g->coordinate);
}

void EdgeOverlay::mouseDragged() {
    EdgeDragSession& session = EdgeDragSession::shared();
    if (!session.isActive || !session.group) return;
    const auto p = EdgeProximityTracker::axLocation(platform().displays().mouseLocation());
    if (!p) return;
    session.update(session.group->axis == Axis::vertical ? p->x : p->y);
}

void EdgeOverlay::mouseUp() {
    EdgeDragSession& session = EdgeDragSession::shared();
    // The session ends now; the windows move in a task.
    if (session.isActive) spawn(session.commit());
}

}  // namespace kestr
