#include "Platform/Task.h"

#include "Platform/Log.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// The frame that owns a spawned task; it destroys itself when the task ends, and the
// main actor destroys it if the loop goes away first.
struct Detached {
    struct promise_type : detail::PromiseBase {
        MainActor* actor = nullptr;
        std::shared_ptr<bool> done = std::make_shared<bool>(false);
        Detached get_return_object() { return Detached{std::coroutine_handle<promise_type>::from_promise(*this)}; }
        std::suspend_never final_suspend() noexcept { return {}; }
        void return_void() {}
        ~promise_type() {
            *done = true;
            if (actor) actor->forgetRoot(std::coroutine_handle<promise_type>::from_promise(*this));
        }
    };
    std::coroutine_handle<promise_type> handle;
};

Detached runDetached(Task<void> task) {
    try {
        co_await std::move(task);
    } catch (const std::exception& e) {
        platform().log().line(std::string("kestr: task failed: ") + e.what());
    } catch (...) {
        platform().log().line("kestr: task failed: unknown error");
    }
}

}  // namespace

void TaskHandle::cancel() const {
    if (!state_ || state_->cancelled) return;
    state_->cancelled = true;
    if (state_->interruptSleep) {
        auto interrupt = std::move(state_->interruptSleep);
        state_->interruptSleep = nullptr;
        interrupt();
    }
}

TaskHandle spawn(Task<void> task) {
    MainActor& actor = platform().mainActor();
    Detached d = runDetached(std::move(task));
    auto& promise = d.handle.promise();
    promise.actor = &actor;
    actor.adoptRoot(d.handle);
    TaskHandle handle(promise.state, promise.done);
    std::shared_ptr<bool> done = promise.done;
    auto h = d.handle;
    actor.post([h, done] {
        if (!*done) h.resume();
    });
    return handle;
}

Task<void> sleepUnlessCancelled(double seconds) {
    try {
        co_await sleepFor(seconds);
    } catch (const CancellationError&) {
    }
}

void SleepAwaiter::start(std::coroutine_handle<> h) {
    started = true;
    MainActor& actor = platform().mainActor();
    auto st = state;
    // The timer resumes the task; a cancellation cancels the timer and resumes it from
    // a freshly posted work item instead.
    auto fired = std::make_shared<bool>(false);
    const TimerID timer = actor.schedule(seconds, [h, st, fired] {
        *fired = true;
        st->interruptSleep = nullptr;
        h.resume();
    });
    SleepAwaiter* self = this;
    st->interruptSleep = [&actor, timer, h, fired, self] {
        if (*fired) return;
        *fired = true;
        actor.cancel(timer);
        self->interrupted = true;
        actor.post([h] { h.resume(); });
    };
}

}  // namespace kestr
