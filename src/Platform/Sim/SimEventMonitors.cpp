#include "Platform/Sim/SimEventMonitors.h"

namespace kestr {

std::optional<MonitorToken> SimEventMonitors::addGlobalMonitor(EventMask mask,
                                                               std::function<void(const Event&)> handler) {
    if (failCreation) return std::nullopt;
    return monitors_.addGlobal(mask, std::move(handler));
}

std::optional<MonitorToken> SimEventMonitors::addLocalMonitor(
    EventMask mask, std::function<std::optional<Event>(const Event&)> handler) {
    if (failCreation) return std::nullopt;
    return monitors_.addLocal(mask, std::move(handler));
}

void SimEventMonitors::removeMonitor(MonitorToken token) { monitors_.remove(token); }

void SimEventMonitors::track(const Event& event) {
    const bool keyboard =
        event.type == EventType::keyDown || event.type == EventType::keyUp || event.type == EventType::flagsChanged;
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
    if (toThisProgram) return monitors_.deliverLocal(event);
    monitors_.deliverGlobal(event);
    return std::nullopt;
}

}  // namespace kestr
