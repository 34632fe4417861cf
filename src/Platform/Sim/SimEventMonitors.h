// Event monitors of the simulated desktop: a test posts events, which reach the
// monitors whose mask matches. A posted mouse event also moves the pointer and
// presses or releases its button; a flags-changed event sets the modifier keys.
#pragma once

#include "Platform/Runtime/EventMonitorList.h"
#include "Platform/Sim/SimWorld.h"

namespace kestr {

class SimEventMonitors : public EventMonitors {
public:
    explicit SimEventMonitors(SimWorld& world) : world_(world) {}

    std::optional<MonitorToken> addGlobalMonitor(EventMask mask, std::function<void(const Event&)> handler) override;
    std::optional<MonitorToken> addLocalMonitor(EventMask mask,
                                                std::function<std::optional<Event>(const Event&)> handler) override;
    void removeMonitor(MonitorToken token) override;
    std::optional<Event> deliverToLocalMonitors(const Event& event) override { return post(event, true); }
    std::uint64_t modifierFlags() override { return modifierFlags_; }
    std::uint32_t pressedMouseButtons() override { return pressedButtons_; }

    // The system makes no monitor while set.
    bool failCreation = false;
    void setPressedMouseButtons(std::uint32_t buttons) { pressedButtons_ = buttons; }
    std::size_t monitorCount() const { return monitors_.size(); }

    // Posts an event. One going to another application reaches the global monitors;
    // one aimed at this program passes through the local monitors, each of which may
    // change or swallow it. Returns what this program receives (none for an event
    // going elsewhere, or one swallowed).
    std::optional<Event> post(Event event, bool toThisProgram = false);

private:
    void track(const Event& event);

    SimWorld& world_;
    EventMonitorList monitors_;
    std::uint64_t modifierFlags_ = 0;
    std::uint32_t pressedButtons_ = 0;
};

}  // namespace kestr
