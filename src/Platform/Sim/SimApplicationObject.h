// This program on the simulated desktop: its policy, quit requests and beeps are
// recorded; the program passes quits and beeps on to its real event loop.
#pragma once

#include <functional>

#include "Platform/ApplicationObject.h"

namespace kestr {

class SimApplicationObject : public ApplicationObject {
public:
    void setActivationPolicy(ActivationPolicy value) override { policy = value; }
    ActivationPolicy activationPolicy() override { return policy; }
    void terminate() override {
        ++terminateRequests;
        if (onTerminate) onTerminate();
    }
    void beep() override {
        ++beeps;
        if (onBeep) onBeep();
    }

    ActivationPolicy policy = ActivationPolicy::regular;
    int terminateRequests = 0;
    int beeps = 0;
    std::function<void()> onTerminate;
    std::function<void()> onBeep;
};

}  // namespace kestr
