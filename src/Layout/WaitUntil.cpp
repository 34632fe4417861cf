#include "Layout/WaitUntil.h"

#include <cmath>
#include <coroutine>

#include "Platform/Platform.h"

namespace kestr {

namespace {

// A plain timer wait on the main actor that no cancellation interrupts.
struct UninterruptedDelay {
    double seconds;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) const {
        platform().mainActor().schedule(seconds, [h] { h.resume(); });
    }
    void await_resume() const noexcept {}
};

}  // namespace

Task<bool> waitUntil(std::function<bool()> condition, double timeout, double interval) {
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + timeout;
    while (actor.now() < deadline) {
        if (condition()) co_return true;
        co_await pollSleep(interval, deadline);
    }
    co_return false;
}

Task<void> pollSleep(double interval, double deadline) {
    MainActor& actor = platform().mainActor();
    const double nanoseconds = std::floor(interval * 1e9);
    double seconds = nanoseconds / 1e9;
    if (!std::isfinite(nanoseconds) || !(nanoseconds >= 1)) seconds = std::fmax(0.0, deadline - actor.now());
    const double wakeAt = actor.now() + seconds;
    bool cutShort = false;
    try {
        co_await sleepFor(seconds);
    } catch (const CancellationError&) {
        cutShort = true;
    }
    if (cutShort && wakeAt > actor.now()) co_await UninterruptedDelay{wakeAt - actor.now()};
}

}  // namespace kestr
