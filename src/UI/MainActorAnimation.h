// A value stepped from 0 to 1 over a duration on the main actor's clock, about sixty
// times a second, so that a test that advances virtual time sees every stage of a fade.
// Destroying or cancelling the animation stops it without calling its completion.
#pragma once

#include <functional>

#include "Platform/Runtime/MainActor.h"

namespace kestr {

class MainActorAnimation {
public:
    static constexpr double frameInterval = 1.0 / 60.0;

    MainActorAnimation() = default;
    ~MainActorAnimation();
    MainActorAnimation(const MainActorAnimation&) = delete;
    MainActorAnimation& operator=(const MainActorAnimation&) = delete;

    // Replaces a running animation. `step` receives the progress, the first time at
    // once with 0, the last time with 1; `completion` then runs once. A duration of 0
    // or less steps straight to 1.
    void start(double duration, std::function<void(double progress)> step, std::function<void()> completion = {});
    void cancel();
    bool isRunning() const { return timer_ != 0; }

private:
    void tick();

    MainActor* actor_ = nullptr;
    TimerID timer_ = 0;
    double startedAt_ = 0;
    double duration_ = 0;
    std::function<void(double)> step_;
    std::function<void()> completion_;
};

}  // namespace kestr
