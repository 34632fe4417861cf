// The wall clock of the machine and its local time zone.
#pragma once

#include "Platform/Clock.h"

namespace kestr {

class SystemClock : public Clock {
public:
    double now() override;
    int localOffsetSeconds(double at) override;
};

}  // namespace kestr
