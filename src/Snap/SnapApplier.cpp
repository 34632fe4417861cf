#include "Snap/SnapApplier.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Core/WholeNumber.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

void log(const std::string& text) { platform().log().line("kestr[snap]: " + text); }

// Within half a point on every edge: where the window was left, rounded to pixels.
bool sameFrame(const Rect& a, const Rect& b) {
    return std::fabs(a.minX() - b.minX()) < 0.5 && std::fabs(a.minY() - b.minY()) < 0.5 &&
           std::fabs(a.maxX() - b.maxX()) < 0.5 && std::fabs(a.maxY() - b.maxY()) < 0.5;
}

std::string failureText(SnapApplier::Failure::Case c) {
    switch (c) {
        case SnapApplier::Failure::noFocusedWindow:
            return "No focused window";
        case SnapApplier::Failure::displayUnavailable:
            return "Could not determine display for the focused window";
        case SnapApplier::Failure::notMovable:
            break;
    }
    return "The focused window cannot be moved or resized";
}

void alertToast(const std::string& text) {
    platform().toasts().show(text, ToastFeel::alert, SnapApplier::toastDuration);
}

// The display holding the rectangle's centre, else the one holding its top-left corner.
std::optional<DisplayID> displayOf(const Rect& frame) {
    if (auto d = DisplayManager::display(Point{frame.midX(), frame.midY()})) return d;
    return DisplayManager::display(frame.origin);
}

std::string whole(Point p) { return "(" + wholeNumberText(p.x) + "," + wholeNumberText(p.y) + ")"; }
std::string whole(Size s) { return wholeNumberText(s.width) + "x" + wholeNumberText(s.height); }

}  // namespace

SnapApplier::Failure::Failure(Case c) : Error(failureText(c)), failureCase(c) {}

SnapApplier::State& SnapApplier::state() { return platform().shared<State>(); }

Task<void> SnapApplier::apply(SnapAction action) {
    State& s = state();
    if (s.isSnapping) {
        log("dropped re-entrant " + action.rawValue() + " (one already in flight)");
        co_return;
    }
    s.isSnapping = true;
    std::optional<AXElement> moved;
    try {
        moved = co_await run(action);
    } catch (...) {
        s.isSnapping = false;
        throw;
    }
    // The slot is free once the window has moved: a key pressed while it settles on the
    // other display is carried out, not dropped.
    s.isSnapping = false;
    if (moved) co_await recordOnceStill(*moved);
}

Task<std::optional<AXElement>> SnapApplier::run(SnapAction action) {
    Accessibility& ax = platform().accessibility();
    const auto window = focusedWindow();
    if (!window) {
        alertToast(noWindowToast);
        throw Failure(Failure::noFocusedWindow);
    }
    if (WindowController::axBool(*window, ax::minimized) == true) ax.setAttributeValue(*window, ax::minimized, false);
    // Nothing waits for the transition: the frame is read as the window reports it now.
    WindowController::exitFullScreen(*window);

    const auto frame = axGlobalFrame(*window);
    if (!frame) throw Failure(Failure::notMovable);

    State& s = state();
    if (!action.isCrossDisplay()) s.displayMoves.erase(*window);
    if (action == SnapAction::restore) {
        const auto stored = s.preSnapFrames.find(*window);
        if (stored == s.preSnapFrames.end()) {
            log("restore skipped \u2014 no pre-snap frame for this window yet (snap something first)");
            alertToast(nothingToRestoreToast);
            co_return std::nullopt;
        }
        // The entry stays, so a second restore puts the window back there again.
        const Rect target = clampToConnectedDisplay(stored->second);
        co_await WindowController::applyFrame(*window, target.origin, target.size);
        co_return std::nullopt;
    }

    // Remembered before any later check, so even a skipped move can be restored.
    forgetClosedWindows();
    s.preSnapFrames[*window] = *frame;

    const std::int32_t pid = ax.pid(*window).value_or(0);
    if (action.isCrossDisplay()) {
        if (co_await applyCrossDisplay(action, *window, *frame)) co_return window;
        co_return std::nullopt;
    }

    const auto display = displayOf(*frame);
    if (!display) throw Failure(Failure::displayUnavailable);
    const Rect b = platform().displays().displayBounds(*display);
    const Rect visible = DisplayManager::visibleAreaLocal(*display);
    const Rect current(frame->minX() - b.x(), frame->minY() - b.y(), frame->width(), frame->height());
    const auto target = action.targetRect(visible, current);
    if (!target) co_return std::nullopt;

    const Point position{b.x() + target->x(), b.y() + target->y()};
    platform().log().line("kestr[snap " + action.rawValue() + "]: " + applicationName(pid) + " applied \u2192 " +
                          whole(position) + " " + whole(target->size) + " [was " +
                          whole(Point{frame->minX(), frame->minY()}) + " " + whole(frame->size) + "]");
    co_await WindowController::applyFrame(*window, position, target->size);
    co_return std::nullopt;
}

std::optional<AXElement> SnapApplier::focusedWindow() {
    Accessibility& ax = platform().accessibility();
    std::int32_t pid = 0;
    if (const auto app = axWindow(ax.createSystemWide(), ax::focusedApplication)) pid = ax.pid(*app).value_or(0);
    if (pid == 0) {
        if (const auto front = platform().workspace().frontmostApplication()) pid = front->processIdentifier;
    }
    if (pid == 0) {
        log("no focused/frontmost app");
        return std::nullopt;
    }
    const AXElement app = ax.createApplication(pid);
    // Some applications expose their windows only when asked for manual accessibility.
    ax.setAttributeValue(app, ax::manualAccessibility, true);
    if (auto w = axWindow(app, ax::focusedWindow)) return w;
    if (auto w = axWindow(app, ax::mainWindow)) return w;
    const AXElementList windows = WindowController::axWindows(app);
    if (!windows.empty()) return windows.front();
    log("no window for " + applicationName(pid) +
        " (winCount=" + std::to_string(WindowController::axWindows(app).size()) + ")");
    return std::nullopt;
}

std::optional<AXElement> SnapApplier::axWindow(AXElement element, const std::string& attribute) {
    const auto value = platform().accessibility().copy(element, attribute);
    const auto* e = value ? std::get_if<AXElement>(&*value) : nullptr;
    if (!e) return std::nullopt;
    return *e;
}

std::optional<Rect> SnapApplier::axGlobalFrame(AXElement window) {
    const auto position = WindowController::readPosition(window);
    if (!position) return std::nullopt;
    const auto size = WindowController::readSize(window);
    if (!size) return std::nullopt;
    return Rect(*position, *size);
}

Rect SnapApplier::clampToConnectedDisplay(const Rect& r) {
    Displays& displays = platform().displays();
    const DisplayID display = displayOf(r).value_or(displays.mainDisplayID());
    const Rect b = displays.displayBounds(display);
    const Rect local = DisplayManager::visibleAreaLocal(display);
    const Rect area(local.x() + b.x(), local.y() + b.y(), local.width(), local.height());
    if (r.minX() >= area.minX() && r.maxX() <= area.maxX() && r.minY() >= area.minY() && r.maxY() <= area.maxY()) {
        return r;
    }
    const double w = std::min(area.width(), r.width());
    const double h = std::min(area.height(), r.height());
    const double x = std::min(std::max(r.minX(), area.minX()), area.maxX() - w);
    const double y = std::min(std::max(r.minY(), area.minY()), area.maxY() - h);
    return Rect(x, y, w, h);
}

Task<bool> SnapApplier::applyCrossDisplay(SnapAction action, AXElement window, Rect f) {
    Displays& displays = platform().displays();
    const std::vector<Screen> screens = displays.screens();
    if (screens.size() < 2) {
        log(action.rawValue() + " skipped \u2014 only one display connected");
        co_return false;
    }
    std::vector<std::pair<DisplayID, Rect>> list;
    for (const Screen& screen : screens) {
        if (const auto id = DisplayManager::displayID(screen)) list.emplace_back(*id, displays.displayBounds(*id));
    }
    if (list.size() < 2) co_return false;

    const auto holding = [&](Point p) {
        return std::find_if(list.begin(), list.end(), [&](const auto& entry) { return entry.second.contains(p); });
    };
    auto source = holding(Point{f.midX(), f.midY()});
    if (source == list.end()) source = holding(f.origin);
    const std::size_t from = source == list.end() ? 0 : static_cast<std::size_t>(source - list.begin());
    const std::size_t count = list.size();
    const std::size_t to = action == SnapAction::nextDisplay ? (from + 1) % count : (from + count - 1) % count;

    // The source's visible area onto the target's, so a move there and back puts the
    // window where it was; a strip on the source (a panel, a status bar) is no longer
    // counted as room on the target. A source without room left counts whole.
    const Rect s = list[from].second;
    const Rect t = list[to].second;
    Rect sv = DisplayManager::visibleAreaLocal(list[from].first);
    if (sv.width() <= 0 || sv.height() <= 0) sv = Rect(0, 0, s.width(), s.height());
    const Rect l = DisplayManager::visibleAreaLocal(list[to].first);
    const double sx = l.width() / sv.width();
    const double sy = l.height() / sv.height();
    Rect target(t.x() + l.minX() + (f.minX() - s.x() - sv.minX()) * sx,
                t.y() + l.minY() + (f.minY() - s.y() - sv.minY()) * sy, f.width() * sx, f.height() * sy);
    if (const auto last = state().displayMoves.find(window);
        last != state().displayMoves.end() && (last->second.settling || sameFrame(last->second.landed, f)) &&
        t.contains(Point{last->second.left.midX(), last->second.left.midY()})) {
        target = last->second.left;
    }
    co_await WindowController::applyFrame(window, target.origin, target.size);
    const auto landed = axGlobalFrame(window);
    if (!landed) co_return false;
    State& kept = state();
    kept.displayMoves[window] = State::DisplayMove{f, *landed, true, ++kept.displayMovesMade};
    co_return true;
}

// What the window took, once it has taken it: a way back untouched must find it there.
// A later snap of the window has made this move's frame stale, and it is not recorded.
Task<void> SnapApplier::recordOnceStill(AXElement window) {
    const std::uint64_t number = state().displayMoves.at(window).number;
    co_await platform().accessibility().quiet(window, WindowController::stillPeriod, WindowController::stillLimit);
    auto& moves = state().displayMoves;
    const auto move = moves.find(window);
    if (move == moves.end() || move->second.number != number) co_return;
    const auto landed = axGlobalFrame(window);
    if (!landed) {
        moves.erase(move);
        co_return;
    }
    move->second.landed = *landed;
    move->second.settling = false;
}

void SnapApplier::forgetClosedWindows() {
    Accessibility& ax = platform().accessibility();
    const auto closed = [&ax](const auto& entry) {
        AXValue role;
        return ax.copyAttributeValue(entry.first, ax::role, role) == AXError::invalidUIElement;
    };
    std::erase_if(state().preSnapFrames, closed);
    std::erase_if(state().displayMoves, closed);
}

std::string SnapApplier::applicationName(std::int32_t pid) {
    const auto app = platform().workspace().runningApplication(pid);
    if (app && app->localizedName) return *app->localizedName;
    return "pid " + std::to_string(pid);
}

}  // namespace kestr
