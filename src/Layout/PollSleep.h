// The pause between two polls of a bounded wait (an application's first window, a
// fresh window, a reopened window). Cancellation does not end such a wait: a sleep cut
// short by it is waited out, so polling goes on until its deadline.
#pragma once

#include "Platform/Task.h"

namespace kestr {

// Sleeps `interval` seconds, taken as whole nanoseconds. An interval that is not a
// positive, finite number of nanoseconds sleeps until `deadline` (the main actor's
// clock) instead, so a bad interval can never make the wait spin.
Task<void> pollSleep(double interval, double deadline);

}  // namespace kestr
