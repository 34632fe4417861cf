// Steps one value to a target over a duration on the main actor's clock, 60 times a
// second, so that fades and handle animations are seen step by step in virtual time.
// The last step lands exactly on the target. Starting again, cancelling or destroying
// the animation stops the steps in flight.
#pragma once

#include <functional>
#include <memory>

#include "Platform/Runtime/MainActor.h"

namespace kestr {

class ValueAnimation {
public:
    static constexpr double frameInterval = 1.0 / 60.0;

    ValueAnimation() = default;
    ~ValueAnimation() { cancel(); }
    ValueAnimation(const ValueAnimation&) = delete;
    ValueAnimation& operator=(const ValueAnimation&) = delete;

    // Linear from `from` to `to`; `apply` gets every step's value.
    void start(double from, double to, double duration, std::function<void(double)> apply);
    void cancel();
    bool isRunning() const { return timer_ && timer_->isValid(); }

private:
    std::shared_ptr<MainActor::RepeatingTimer> timer_;
};

}  // namespace kestr
