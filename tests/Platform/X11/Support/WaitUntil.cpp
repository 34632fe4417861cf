#include "WaitUntil.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace kestr::x11test {
namespace {

void handle(xcb_generic_event_t* event, const EventHandler& onEvent) {
    if (onEvent) onEvent(*event);
    std::free(event);
}

}  // namespace

bool waitUntil(xcb_connection_t* connection, const std::function<bool()>& condition, double seconds,
               const EventHandler& onEvent) {
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) handle(event, onEvent);
        if (condition()) return true;
        // The condition's own round trips may have queued events that never wake the descriptor.
        if (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection)) {
            handle(event, onEvent);
            continue;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || xcb_connection_has_error(connection)) return false;
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 100)));
    }
}

}  // namespace kestr::x11test
