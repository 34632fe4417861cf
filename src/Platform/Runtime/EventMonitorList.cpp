#include "Platform/Runtime/EventMonitorList.h"

namespace kestr {

MonitorToken EventMonitorList::addGlobal(EventMask mask, std::function<void(const Event&)> handler) {
    const MonitorToken token = nextToken_++;
    monitors_[token] =
        Monitor{mask, false, std::make_shared<const std::function<void(const Event&)>>(std::move(handler)), nullptr};
    return token;
}

MonitorToken EventMonitorList::addLocal(EventMask mask, std::function<std::optional<Event>(const Event&)> handler) {
    const MonitorToken token = nextToken_++;
    monitors_[token] =
        Monitor{mask, true, nullptr,
                std::make_shared<const std::function<std::optional<Event>(const Event&)>>(std::move(handler))};
    return token;
}

bool EventMonitorList::anyGlobal() const {
    for (const auto& [token, monitor] : monitors_) {
        if (!monitor.local) return true;
    }
    return false;
}

// Handlers may add or remove monitors: each step looks for the next token afresh, so a
// monitor removed meanwhile is skipped, and one added meanwhile waits for the next event.
const EventMonitorList::Monitor* EventMonitorList::next(MonitorToken& after, MonitorToken end, const Event& event,
                                                        bool local) const {
    for (auto it = monitors_.upper_bound(after); it != monitors_.end() && it->first < end; ++it) {
        if (it->second.local != local || !(it->second.mask & eventMask(event.type))) continue;
        after = it->first;
        return &it->second;
    }
    return nullptr;
}

void EventMonitorList::deliverGlobal(const Event& event) {
    const MonitorToken end = nextToken_;
    MonitorToken after = 0;
    while (const Monitor* monitor = next(after, end, event, false)) {
        const auto handler = monitor->global;
        (*handler)(event);
    }
}

std::optional<Event> EventMonitorList::deliverLocal(const Event& event) {
    std::optional<Event> delivered = event;
    const MonitorToken end = nextToken_;
    MonitorToken after = 0;
    while (const Monitor* monitor = next(after, end, event, true)) {
        const auto handler = monitor->localHandler;
        delivered = (*handler)(*delivered);
        if (!delivered) break;
    }
    return delivered;
}

}  // namespace kestr
