// Bounded waits of the apply (an application's first window, a fresh window, a
// reopened window, late windows). Cancellation does not end such a wait: a sleep cut
// short by it is waited out, so polling goes on until its deadline.
#pragma once

#include <functional>

#include "Platform/Runtime/Task.h"

namespace kestr {

// Checks the condition at once and then every `interval` seconds while the main
// actor's clock is before now + `timeout`; true as soon as it holds, false once the
// time is up (it is never checked at or after the deadline).
Task<bool> waitUntil(std::function<bool()> condition, double timeout, double interval);

// Sleeps `interval` seconds, taken as whole nanoseconds. An interval that is not a
// positive, finite number of nanoseconds sleeps until `deadline` (the main actor's
// clock) instead, so a bad interval can never make the wait spin.
Task<void> pollSleep(double interval, double deadline);

}  // namespace kestr
