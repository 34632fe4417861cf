#include "Platform/Runtime/EventMonitorList.h"

#include <vector>

namespace kestr {

MonitorToken EventMonitorList::addGlobal(EventMask mask, std::function<void(const Event&)> handler) {
    const MonitorToken token = nextToken_++;
    monitors_[token] = Monitor{mask, false, std::move(handler), nullptr};
    return token;
}

MonitorToken EventMonitorList::addLocal(EventMask mask, std::function<std::optional<Event>(const Event&)> handler) {
    const MonitorToken token = nextToken_++;
    monitors_[token] = Monitor{mask, true, nullptr, std::move(handler)};
    return token;
}

bool EventMonitorList::anyGlobal() const {
    for (const auto& [token, monitor] : monitors_) {
        if (!monitor.local) return true;
    }
    return false;
}

// Handlers may add or remove monitors; the walk goes over a snapshot of the tokens and
// skips those removed meanwhile.
std::vector<MonitorToken> EventMonitorList::matching(const Event& event, bool local) const {
    std::vector<MonitorToken> tokens;
    for (const auto& [token, monitor] : monitors_) {
        if (monitor.local == local && (monitor.mask & eventMask(event.type))) tokens.push_back(token);
    }
    return tokens;
}

void EventMonitorList::deliverGlobal(const Event& event) {
    for (const MonitorToken token : matching(event, false)) {
        auto it = monitors_.find(token);
        if (it == monitors_.end()) continue;
        auto handler = it->second.global;
        handler(event);
    }
}

std::optional<Event> EventMonitorList::deliverLocal(const Event& event) {
    std::optional<Event> delivered = event;
    for (const MonitorToken token : matching(event, true)) {
        auto it = monitors_.find(token);
        if (it == monitors_.end()) continue;
        auto handler = it->second.localHandler;
        delivered = handler(*delivered);
        if (!delivered) break;
    }
    return delivered;
}

}  // namespace kestr
