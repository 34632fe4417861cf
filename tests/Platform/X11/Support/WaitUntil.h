// Waiting on a real X server: events with a deadline, never a fixed sleep.
#pragma once

#include <xcb/xcb.h>

#include <functional>

namespace kestr::x11test {

// Generous for a loaded two-core machine; a condition that holds returns at once.
constexpr double kDeadlineSeconds = 10;

using EventHandler = std::function<void(const xcb_generic_event_t& event)>;

// Reads the connection's events as they come (handing each to onEvent, if given, else
// dropping it) and checks the condition after each, until it holds or the deadline passes;
// answers whether it held. The condition is also checked at least every 100 ms, for what
// sends this connection no event (a process that exits, an unselected property).
bool waitUntil(xcb_connection_t* connection, const std::function<bool()>& condition, double seconds = kDeadlineSeconds,
               const EventHandler& onEvent = {});

}  // namespace kestr::x11test
