// The monitors a desktop's event-monitor service keeps, and the walk that hands an
// event to them: every matching global monitor hears an event going elsewhere; an event
// aimed at this program passes through the matching local monitors in turn, each of
// which may change or swallow it.
#pragma once

#include <map>
#include <memory>

#include "Platform/EventMonitors.h"

namespace kestr {

class EventMonitorList {
public:
    MonitorToken addGlobal(EventMask mask, std::function<void(const Event&)> handler);
    MonitorToken addLocal(EventMask mask, std::function<std::optional<Event>(const Event&)> handler);
    void remove(MonitorToken token) { monitors_.erase(token); }
    std::size_t size() const { return monitors_.size(); }
    bool anyGlobal() const;

    void deliverGlobal(const Event& event);
    // What this program receives; none when a monitor swallowed it.
    std::optional<Event> deliverLocal(const Event& event);

private:
    struct Monitor {
        EventMask mask = 0;
        bool local = false;
        // Shared, so that a handler that removes its own monitor finishes its call.
        std::shared_ptr<const std::function<void(const Event&)>> global;
        std::shared_ptr<const std::function<std::optional<Event>(const Event&)>> localHandler;
    };
    // The first monitor after `after` that hears the event, among those there were
    // before the delivery began (`end`, the next token then); none at the end.
    const Monitor* next(MonitorToken& after, MonitorToken end, const Event& event, bool local) const;

    std::map<MonitorToken, Monitor> monitors_;
    MonitorToken nextToken_ = 1;
};

}  // namespace kestr
