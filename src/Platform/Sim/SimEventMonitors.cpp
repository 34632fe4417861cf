#include "Platform/Sim/SimEventMonitors.h"

#include <vector>

namespace kestr {

std::optional<MonitorToken> SimEventMonitors::addGlobalMonitor(EventMask mask,
                                                               std::function<void(const Event&)> handler) {
    if (failCreation) return std::nullopt;
    const MonitorToken token = nextToken_++;
    monitors_[token] = Monitor{mask, false, std::move(handler), nullptr};
    return token;
}

std::optional<MonitorToken> SimEventMonitors::addLocalMonitor(
    EventMask mask, std::function<std::optional<Event>(const Event&)> handler) {
    if (failCreation) return std::nullopt;
    const MonitorToken token = nextToken_++;
    monitors_[token] = Monitor{mask, true, nullptr, std::move(handler)};
    return token;
}

void SimEventMonitors::removeMonitor(MonitorToken token) { monitors_.erase(token); }

void SimEventMonitors::track(const Event& event) {
    const bool keyboard = event.type == EventType::keyDown || event.type == EventType::keyUp ||
                          event.type == EventType::flagsChanged;
    if (!keyboard) world_.pointer = Point{event.location.x, world_.mainHeight() - event.location.y};
    if (event.type == EventType::flagsChanged) modifierFlags_ = event.modifierFlags;
    switch (event.type) {
        case EventType::leftMouseDown:
            pressedButtons_ |= 1u;
            break;
        case EventType::leftMouseUp:
            pressedButtons_ &= ~1u;
            break;
        case EventType::rightMouseDown:
            pressedButtons_ |= 2u;
            break;
        case EventType::rightMouseUp:
            pressedButtons_ &= ~2u;
            break;
        default:
            break;
    }
}

std::optional<Event> SimEventMonitors::post(Event event, bool toThisProgram) {
    track(event);
    // Handlers may add or remove monitors; walk a snapshot of the tokens.
    std::vector<MonitorToken> tokens;
    for (const auto& [token, monitor] : monitors_) tokens.push_back(token);
    std::optional<Event> delivered = event;
    for (const MonitorToken token : tokens) {
        auto it = monitors_.find(token);
        if (it == monitors_.end() || !(it->second.mask & eventMask(event.type))) continue;
        if (it->second.local != toThisProgram) continue;
        if (!toThisProgram) {
            auto handler = it->second.global;
            handler(event);
            continue;
        }
        auto handler = it->second.localHandler;
        delivered = handler(*delivered);
        if (!delivered) break;
    }
    if (!toThisProgram) return std::nullopt;
    return delivered;
}

}  // namespace kestr
