#include "Core/ValueAnimation.h"

#include <algorithm>

#include "Platform/Platform.h"

namespace kestr {

void ValueAnimation::start(double from, double to, double duration, std::function<void(double)> apply) {
    cancel();
    MainActor& actor = platform().mainActor();
    const double begin = actor.now();
    // The timer hands itself to its own work through this cell, to stop after the last step.
    auto self = std::make_shared<std::weak_ptr<MainActor::RepeatingTimer>>();
    timer_ = actor.scheduleRepeating(frameInterval, [&actor, self, begin, from, to, duration, apply] {
        const double t = duration > 0 ? std::clamp((actor.now() - begin) / duration, 0.0, 1.0) : 1.0;
        if (t >= 1.0) {
            if (auto timer = self->lock()) timer->invalidate();
        }
        apply(t >= 1.0 ? to : from + (to - from) * t);
    });
    *self = timer_;
}

void ValueAnimation::cancel() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

}  // namespace kestr
