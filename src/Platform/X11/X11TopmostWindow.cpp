#include "Platform/X11/X11TopmostWindow.h"

#include <algorithm>
#include <limits>

namespace kestr {

namespace {
constexpr std::size_t keptAreas = 4;
}  // namespace

bool X11TopmostWindow::Area::avoid(const Rect& other, Point p) {
    const double left = other.minX(), right = other.maxX(), top = other.minY(), bottom = other.maxY();
    // A rectangle that holds no point (no width, no height, not a number) is in no way.
    if (!(left < right && top < bottom)) return true;
    if (!(left < maxX && minX < right && top < maxY && minY < bottom)) return true;
    std::optional<Area> best;
    const auto consider = [&](bool pOnThatSide, Area narrowed) {
        if (!pOnThatSide) return;
        const auto size = [](const Area& a) { return (a.maxX - a.minX) * (a.maxY - a.minY); };
        if (!best || size(narrowed) > size(*best)) best = narrowed;
    };
    consider(p.x < left, Area{minX, std::min(maxX, left), minY, maxY});
    consider(p.x >= right, Area{std::max(minX, right), maxX, minY, maxY});
    consider(p.y < top, Area{minX, maxX, minY, std::min(maxY, top)});
    consider(p.y >= bottom, Area{minX, maxX, std::max(minY, bottom), maxY});
    if (!best) return false;
    *this = *best;
    return true;
}

const X11Client* X11TopmostWindow::at(Point p) {
    if (knownAt_ != model_.changes()) {
        known_.clear();
        knownAt_ = model_.changes();
    }
    for (auto it = known_.begin(); it != known_.end(); ++it) {
        if (!it->area.contains(p)) continue;
        const Known hit = *it;
        known_.erase(it);
        known_.insert(known_.begin(), hit);
        return hit.window == XCB_NONE ? nullptr : model_.client(hit.window);
    }
    return walk(p);
}

const X11Client* X11TopmostWindow::walk(Point p) {
    constexpr double far = std::numeric_limits<double>::infinity();
    // Narrowed around p by every counted window in front of the answer; the answer's own
    // frame bounds it last.
    Area area{-far, far, -far, far};
    bool kept = true;
    const X11Client* found = nullptr;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        const auto frame = c ? counts_(*c) : std::nullopt;
        if (!frame) continue;
        if (frame->contains(p)) {
            found = c;
            area = Area{std::max(area.minX, frame->minX()), std::min(area.maxX, frame->maxX()),
                        std::max(area.minY, frame->minY()), std::min(area.maxY, frame->maxY())};
            break;
        }
        kept = kept && area.avoid(*frame, p);
    }
    if (kept && area.contains(p)) {
        known_.insert(known_.begin(), Known{area, found ? found->id : xcb_window_t{XCB_NONE}});
        if (known_.size() > keptAreas) known_.pop_back();
    }
    return found;
}

}  // namespace kestr
