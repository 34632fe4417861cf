#include "UI/MainActorAnimation.h"

#include <algorithm>

#include "Platform/Platform.h"

namespace kestr {

MainActorAnimation::~MainActorAnimation() { cancel(); }

void MainActorAnimation::cancel() {
    if (timer_ != 0 && actor_) actor_->cancel(timer_);
    timer_ = 0;
}

void MainActorAnimation::start(double duration, std::function<void(double)> step, std::function<void()> completion) {
    cancel();
    actor_ = &platform().mainActor();
    startedAt_ = actor_->now();
    duration_ = duration;
    step_ = std::move(step);
    completion_ = std::move(completion);
    tick();
}

void MainActorAnimation::tick() {
    timer_ = 0;
    const double elapsed = actor_->now() - startedAt_;
    // The last frame falls on the end exactly, give or take rounding.
    const bool done = duration_ <= 0 || elapsed >= duration_ - 1e-9;
    const double progress = done ? 1.0 : std::clamp(elapsed / duration_, 0.0, 1.0);
    if (step_) step_(progress);
    if (!done) {
        timer_ = actor_->schedule(std::min(frameInterval, duration_ - elapsed), [this] { tick(); });
        return;
    }
    // The completion may start this animation again.
    auto completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion();
}

}  // namespace kestr
