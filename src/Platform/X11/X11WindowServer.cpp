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

std::optional<PlistArray> X11WindowServer::copyWindowList(std::uint32_t options, std::uint32_t) {
    PlistArray list;
    for (xcb_window_t w : model_.stacking()) {
        const X11Client* c = model_.client(w);
        if (!c) continue;
        if ((options & WindowListOption::excludeDesktopElements) && c->type == X11WindowType::desktop) continue;
        const bool onScreen = c->mapped && !c->hidden && model_.onCurrentDesktop(*c);
        if ((options & WindowListOption::onScreenOnly) && !onScreen) continue;
        // The same frame that "AXPosition" and "AXSize" give.
        const Rect f = model_.shownFrame(*c);
        PlistDict bounds{{"X", f.x()}, {"Y", f.y()}, {"Width", f.width()}, {"Height", f.height()}};
        PlistDict entry{{"kCGWindowOwnerPID", std::int64_t{c->pid.value_or(0)}},
                        {"kCGWindowNumber", std::int64_t{w}},
                        {"kCGWindowLayer", layerOf(*c)},
                        {"kCGWindowName", c->title},
                        {"kCGWindowIsOnscreen", onScreen},
                        {"kCGWindowBounds", std::move(bounds)}};
        if (c->pid && applicationName) {
            if (auto name = applicationName(*c->pid)) entry["kCGWindowOwnerName"] = *name;
        }
        list.emplace_back(std::move(entry));
    }
    return list;
}

}  // namespace kestr
