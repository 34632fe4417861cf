#include "Platform/Runtime/Task.h"

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
    } catch (const CancellationError&) {}
}

// One sleep in progress, shared by the main actor's queued work for it (the timer, or
// the resumption a cancellation posts).
struct SleepAwaiter::Pending {
    MainActor* actor = nullptr;
    TimerID timer = 0;
    std::coroutine_handle<> handle;
    SleepAwaiter* awaiter = nullptr;  // none once the sleeping frame is gone
    bool fired = false;               // the timer ran or was cancelled
};

void SleepAwaiter::start(std::coroutine_handle<> h) {
    started = true;
    auto sleep = std::make_shared<Pending>();
    sleep->actor = &platform().mainActor();
    sleep->handle = h;
    sleep->awaiter = this;
    auto st = state;
    // The timer resumes the task; a cancellation cancels the timer and resumes it from
    // a freshly posted work item instead.
    sleep->timer = sleep->actor->schedule(seconds, [sleep, st] {
        sleep->fired = true;
        st->interruptSleep = nullptr;
        sleep->handle.resume();
    });
    pending = sleep;
    st->interruptSleep = [weak = std::weak_ptr<Pending>(sleep)] {
        auto live = weak.lock();
        if (!live || live->fired || !live->awaiter) return;
        live->fired = true;
        live->actor->cancel(live->timer);
        live->awaiter->interrupted = true;
        live->actor->post([live] {
            if (live->awaiter) live->handle.resume();
        });
    };
}

SleepAwaiter::~SleepAwaiter() {
    auto sleep = pending.lock();
    if (!sleep) return;  // never started, or the main actor has dropped its work
    sleep->awaiter = nullptr;
    if (sleep->fired) return;
    sleep->fired = true;
    sleep->actor->cancel(sleep->timer);
    state->interruptSleep = nullptr;
}

}  // namespace kestr
