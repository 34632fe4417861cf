// Wall-clock time of the simulated desktop: a fixed start instant plus the main
// actor's elapsed time, in a fixed time zone.
#pragma once

#include "Platform/Clock.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

class SimClock : public Clock {
public:
    explicit SimClock(const MainActor& actor) : actor_(actor) {}
    double now() override { return start + actor_.now(); }
    int localOffsetSeconds(double) override { return utcOffset; }

    // 2026-12-05T20:00:00Z by default.
    double start = 1796500800;
    int utcOffset = 0;

private:
    const MainActor& actor_;
};

}  // namespace kestr
