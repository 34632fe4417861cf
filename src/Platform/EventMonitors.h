// Global and local monitors of mouse and key events, and the current modifier keys
// and mouse buttons.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Platform/EventType.h"
#include "Platform/Geometry.h"

namespace kestr {

using EventMask = std::uint64_t;
constexpr EventMask eventMask(EventType t) { return EventMask{1} << static_cast<int>(t); }

// Modifier flags as the window system reports them.
namespace ModifierFlag {
constexpr std::uint64_t capsLock = 0x10000;
constexpr std::uint64_t shift = 0x20000;
constexpr std::uint64_t control = 0x40000;
constexpr std::uint64_t option = 0x80000;
constexpr std::uint64_t command = 0x100000;
constexpr std::uint64_t numericPad = 0x200000;
constexpr std::uint64_t help = 0x400000;
constexpr std::uint64_t function = 0x800000;
}  // namespace ModifierFlag

struct Event {
    EventType type = EventType::mouseMoved;
    // Pointer location in bottom-left-origin screen space.
    Point location;
    std::uint64_t modifierFlags = 0;
    std::uint16_t keyCode = 0;
    std::string characters;
};

using MonitorToken = std::uint64_t;

class EventMonitors {
public:
    virtual ~EventMonitors() = default;
    // Events going to other applications. None when the system creates no monitor.
    virtual std::optional<MonitorToken> addGlobalMonitor(EventMask mask, std::function<void(const Event&)> handler) = 0;
    // Events going to this program; the handler returns the event to deliver, or none.
    virtual std::optional<MonitorToken> addLocalMonitor(EventMask mask,
                                                        std::function<std::optional<Event>(const Event&)> handler) = 0;
    virtual void removeMonitor(MonitorToken token) = 0;
    // Passes an event of this program's own windows through the local monitors, as the
    // window system does before it reaches a window; none when a monitor swallowed it.
    virtual std::optional<Event> deliverToLocalMonitors(const Event& event) = 0;

    virtual std::uint64_t modifierFlags() = 0;
    // Bit 0 is the left button.
    virtual std::uint32_t pressedMouseButtons() = 0;
};

}  // namespace kestr
