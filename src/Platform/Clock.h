// Wall-clock time, for time stamps only. Delays and timeouts use the main actor's
// clock (MainActor::now), never this one.
#pragma once

namespace kestr {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01T00:00:00Z.
    virtual double now() = 0;
    // The local time zone's offset from UTC, in seconds, at the given instant.
    virtual int localOffsetSeconds(double at) = 0;
};

}  // namespace kestr
