#include "Window/WindowFinder.h"

#include <algorithm>
#include <limits>

#include "Core/UnicodeText.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

constexpr double minimumOverlap = 0.5;
constexpr double minimumSlotSide = 1.0;

// Unreadable titles count as empty, which contains nothing.
std::string titleOf(AXElement window) { return WindowController::title(window).value_or(""); }

bool contains(const AXElementList& list, AXElement window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

AXElementList titled(const AXElementList& windows, const std::string& text) {
    AXElementList result;
    for (const AXElement& w : windows) {
        if (UnicodeText::contains(titleOf(w), text)) result.push_back(w);
    }
    return result;
}

// The display named by a frame, when it is connected.
std::optional<DisplayID> resolve(const ScreenFrame& frame) {
    const DisplayID id = platform().displays().displayIDFromUUIDString(frame.displayUUID);
    return id == 0 ? std::nullopt : std::optional<DisplayID>(id);
}

struct Nearness {
    int cls;
    double distance;
    bool operator<(const Nearness& o) const { return cls < o.cls || (cls == o.cls && distance < o.distance); }
};

Nearness nearness(AXElement window, const Rect& bounds, Point target) {
    const auto p = WindowController::readPosition(window);
    if (!p) return {2, std::numeric_limits<double>::max()};
    return {bounds.contains(*p) ? 0 : 1, std::abs(p->x - target.x) + std::abs(p->y - target.y)};
}

double overlapRatio(AXElement window, const Rect& slot) {
    const auto position = WindowController::readPosition(window);
    const auto size = WindowController::readSize(window);
    if (!position || !size) return 0;
    const Rect w(*position, *size);
    const Rect i = w.intersection(slot);
    if (i.isNull() || !(i.width() > 0) || !(i.height() > 0)) return 0;
    const double intersection = i.width() * i.height();
    const double unionArea = w.width() * w.height() + slot.width() * slot.height() - intersection;
    if (!(unionArea > 0)) return 0;
    return intersection / unionArea;
}

}  // namespace

AXElementList WindowFinder::candidateWindows(const WindowMatcher& matcher, const AXElementList& windows,
                                             const std::string& itemName) {
    AXElementList result;
    if (const auto* contains = matcher.get<WindowMatcher::TitleContains>()) {
        for (const AXElement& w : windows) {
            const auto title = WindowController::title(w);
            if (title && UnicodeText::contains(*title, contains->text)) result.push_back(w);
        }
    } else if (const auto* expression = matcher.get<WindowMatcher::TitleRegex>()) {
        const auto regex = UnicodeText::Regex::compile(expression->pattern);
        if (!regex) return {};
        bool gaveUp = false;
        for (const AXElement& w : windows) {
            const auto title = WindowController::title(w);
            if (!title) continue;
            const auto search = regex->search(*title);
            if (search == UnicodeText::Regex::Search::found) result.push_back(w);
            gaveUp = gaveUp || search == UnicodeText::Regex::Search::gaveUp;
        }
        if (gaveUp) {
            platform().log().line("kestr: titleRegex of " + itemName + " took too long on a window title: " +
                                  expression->pattern + " (counted as no match)");
        }
    } else if (const auto* index = matcher.get<WindowMatcher::WindowIndex>()) {
        if (index->index >= 0 && static_cast<std::size_t>(index->index) < windows.size()) {
            result.push_back(windows[static_cast<std::size_t>(index->index)]);
        }
    } else {
        result = windows;
    }
    return result;
}

std::optional<AXElement> WindowFinder::pickBest(const AXElementList& windows,
                                                const std::optional<ScreenFrame>& preferNear) {
    if (windows.empty()) return std::nullopt;
    if (!preferNear) return windows.front();
    const auto display = resolve(*preferNear);
    if (!display) return windows.front();
    const Rect bounds = platform().displays().displayBounds(*display);
    const Point target{bounds.minX() + preferNear->x, bounds.minY() + preferNear->y};
    if (windows.size() == 1) return windows.front();

    AXElement best = windows.front();
    Nearness bestKey = nearness(best, bounds, target);
    for (std::size_t i = 1; i < windows.size(); ++i) {
        const Nearness key = nearness(windows[i], bounds, target);
        if (key < bestKey) {
            best = windows[i];
            bestKey = key;
        }
    }
    return best;
}

std::optional<AXElement> WindowFinder::candidateOccupyingSlot(const AXElementList& windows, const ScreenFrame& slot) {
    const auto display = resolve(slot);
    if (!display) return std::nullopt;
    const Rect bounds = platform().displays().displayBounds(*display);
    const Rect s(bounds.minX() + slot.x, bounds.minY() + slot.y, slot.width, slot.height);
    if (!(s.width() > minimumSlotSide) || !(s.height() > minimumSlotSide)) return std::nullopt;
    if (windows.empty()) return std::nullopt;

    AXElement best = windows.front();
    double bestRatio = overlapRatio(best, s);
    for (std::size_t i = 1; i < windows.size(); ++i) {
        const double ratio = overlapRatio(windows[i], s);
        if (ratio > bestRatio) {
            best = windows[i];
            bestRatio = ratio;
        }
    }
    if (bestRatio >= minimumOverlap) return best;
    return std::nullopt;
}

std::optional<AXElement> WindowFinder::findWindow(const AXElementList& among, const WindowMatcher& matcher,
                                                  const Options& options) {
    AXElementList pool;
    for (const AXElement& w : among) {
        if (!contains(options.excluding, w)) pool.push_back(w);
    }
    // A title the item asks for names its window wherever that window is; any other
    // choice stays on the display.
    if (matcher.namesTitle() && options.restrictToDisplay) {
        if (auto named = pickBest(candidateWindows(matcher, pool, options.itemName), options.preferNear))
            return named;
    }
    if (options.restrictToDisplay) {
        const Rect bounds = platform().displays().displayBounds(*options.restrictToDisplay);
        std::erase_if(pool, [&](AXElement w) {
            const auto p = WindowController::readPosition(w);
            return !p || !bounds.contains(*p);
        });
    }
    if (pool.empty()) return std::nullopt;

    // An index counts in the application's whole window list, as captured: counted in
    // what is left after other items took their windows, the second of two windows with
    // the same title would be out of range once the first was taken.
    AXElementList candidates;
    if (matcher.is<WindowMatcher::WindowIndex>()) {
        for (const AXElement& w : candidateWindows(matcher, among, options.itemName))
            if (contains(pool, w)) candidates.push_back(w);
    } else {
        candidates = candidateWindows(matcher, pool, options.itemName);
    }

    const bool prefersTitle =
        matcher.is<WindowMatcher::FirstWindow>() && options.preferTitle && !options.preferTitle->empty();
    if (prefersTitle) {
        AXElementList sameTitle = titled(candidates, *options.preferTitle);
        if (!sameTitle.empty()) {
            candidates = std::move(sameTitle);
        } else if (!options.fallbackToFirst) {
            // The saved title is gone: the window may have drifted to another title, or
            // it may be a different window altogether.
            if (options.reuseDrifted) {
                std::erase_if(candidates, [&](AXElement w) {
                    const std::string title = titleOf(w);
                    return std::any_of(options.avoidTitles.begin(), options.avoidTitles.end(),
                                       [&](const std::string& avoid) { return UnicodeText::contains(title, avoid); });
                });
                if (candidates.empty()) return std::nullopt;
                return pickBest(candidates, options.preferNear);
            }
            if (candidates.size() >= 2 || options.titleStable) {
                if (!options.preferNear) return std::nullopt;
                return candidateOccupyingSlot(candidates, *options.preferNear);
            }
            return pickBest(candidates, options.preferNear);
        }
    }

    if (auto best = pickBest(candidates, options.preferNear)) return best;
    if (options.fallbackToFirst) return pickBest(pool, options.preferNear);
    return std::nullopt;
}

}  // namespace kestr
