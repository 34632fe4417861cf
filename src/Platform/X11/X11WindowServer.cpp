#include "Platform/X11/X11WindowServer.h"

namespace kestr {

namespace {
// The levels the window list reports, as the other system numbers them.
constexpr std::int64_t desktopLayer = -2147483623;
constexpr std::int64_t normalLayer = 0;
constexpr std::int64_t floatingLayer = 3;
constexpr std::int64_t dockLayer = 20;
constexpr std::int64_t popUpMenuLayer = 101;
}  // namespace

std::int64_t X11WindowServer::layerOf(const X11Client& c) {
    switch (c.type) {
        case X11WindowType::desktop:
            return desktopLayer;
        case X11WindowType::dock:
            return dockLayer;
        case X11WindowType::menu:
            return popUpMenuLayer;
        case X11WindowType::normal:
        case X11WindowType::dialog:
        case X11WindowType::utility:
            return c.above ? floatingLayer : normalLayer;
        default:
            return floatingLayer;
    }
}

bool X11WindowServer::onScreen(const X11Client& c) const { return model_.shows(c); }

PlistDict X11WindowServer::entryOf(const X11Client& c) const {
    // The same frame that "AXPosition" and "AXSize" give.
    const Rect f = model_.shownFrame(c);
    PlistDict bounds{{"X", f.x()}, {"Y", f.y()}, {"Width", f.width()}, {"Height", f.height()}};
    PlistDict entry{{"kCGWindowOwnerPID", std::int64_t{c.pid.value_or(0)}},
                    {"kCGWindowNumber", std::int64_t{c.id}},
                    {"kCGWindowLayer", layerOf(c)},
                    {"kCGWindowName", c.title},
                    {"kCGWindowIsOnscreen", onScreen(c)},
                    {"kCGWindowBounds", std::move(bounds)}};
    if (c.pid && applicationName) {
        if (auto name = applicationName(*c.pid)) entry["kCGWindowOwnerName"] = *name;
    }
    return entry;
}

std::optional<PlistArray> X11WindowServer::copyWindowList(std::uint32_t options, std::uint32_t) {
    PlistArray list;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        if (!c) continue;
        if ((options & WindowListOption::excludeDesktopElements) && c->type == X11WindowType::desktop) continue;
        if ((options & WindowListOption::onScreenOnly) && !onScreen(*c)) continue;
        list.emplace_back(entryOf(*c));
    }
    return list;
}

std::optional<PlistDict> X11WindowServer::copyWindowInfo(std::uint32_t number, std::uint32_t options) {
    const X11Client* c = model_.client(number);
    if (!c) return std::nullopt;
    if ((options & WindowListOption::excludeDesktopElements) && c->type == X11WindowType::desktop) return std::nullopt;
    if ((options & WindowListOption::onScreenOnly) && !onScreen(*c)) return std::nullopt;
    return entryOf(*c);
}

std::optional<PlistDict> X11WindowServer::copyWindowAt(Point global, std::int64_t layer) {
    auto topmost = topmost_.find(layer);
    if (topmost == topmost_.end()) {
        topmost = topmost_
                      .try_emplace(layer, model_,
                                   [this, layer](const X11Client& c) -> std::optional<Rect> {
                                       if (!onScreen(c) || layerOf(c) != layer) return std::nullopt;
                                       return model_.shownFrame(c);
                                   })
                      .first;
    }
    const X11Client* c = topmost->second.at(global);
    return c ? std::optional(entryOf(*c)) : std::nullopt;
}

}  // namespace kestr
