#include "Platform/Sim/SimWindowServer.h"

namespace kestr {

template <typename Visit>
void SimWindowServer::eachWindow(Visit visit) const {
    for (const AXElement element : world_.stacking()) {
        SimProcess* owner = world_.owner(element);
        const SimWindow* window = owner ? owner->window(element) : nullptr;
        if (window && visit(*window, *owner)) return;
    }
}

PlistDict SimWindowServer::entryOf(const SimWindow& window, const SimProcess& owner) const {
    PlistDict bounds{{"X", window.position.x},
                     {"Y", window.position.y},
                     {"Width", window.size.width},
                     {"Height", window.size.height}};
    PlistDict entry{{"kCGWindowOwnerPID", std::int64_t{owner.pid}},
                    {"kCGWindowNumber", window.number},
                    {"kCGWindowLayer", window.layer},
                    {"kCGWindowName", window.title},
                    {"kCGWindowIsOnscreen", world_.isOnScreen(window, owner)},
                    {"kCGWindowBounds", std::move(bounds)}};
    if (owner.name) entry["kCGWindowOwnerName"] = *owner.name;
    return entry;
}

std::optional<PlistArray> SimWindowServer::copyWindowList(std::uint32_t options, std::uint32_t) {
    if (unavailable) return std::nullopt;
    PlistArray list;
    eachWindow([&](const SimWindow& window, const SimProcess& owner) {
        if (!(options & WindowListOption::onScreenOnly) || world_.isOnScreen(window, owner))
            list.emplace_back(entryOf(window, owner));
        return false;
    });
    return list;
}

std::optional<PlistDict> SimWindowServer::copyWindowInfo(std::uint32_t number, std::uint32_t options) {
    if (unavailable) return std::nullopt;
    std::optional<PlistDict> found;
    eachWindow([&](const SimWindow& window, const SimProcess& owner) {
        if (static_cast<std::uint32_t>(window.number) != number) return false;
        if (!(options & WindowListOption::onScreenOnly) || world_.isOnScreen(window, owner))
            found = entryOf(window, owner);
        return true;
    });
    return found;
}

std::optional<PlistDict> SimWindowServer::copyWindowAt(Point global, std::int64_t layer) {
    if (unavailable) return std::nullopt;
    std::optional<PlistDict> found;
    eachWindow([&](const SimWindow& window, const SimProcess& owner) {
        if (!world_.isOnScreen(window, owner) || window.layer != layer || !window.frame().contains(global)) return false;
        found = entryOf(window, owner);
        return true;
    });
    return found;
}

}  // namespace kestr
