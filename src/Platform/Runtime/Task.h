// Coroutine tasks on the main actor.
//
// Task<T> is lazy: nothing runs until it is awaited (by exactly one awaiter) or handed
// to spawn(). An exception thrown inside a task propagates to its awaiter. spawn()
// starts a Task<void> detached on the main actor; an exception that escapes it is
// written to the log as "kestr: task failed: " followed by its text.
//
// Cancellation is a flag shared by a spawned task and every task it awaits. Nothing is
// interrupted: code looks at the flag where it chooses to (isCancelled()), and
// sleepFor() looks at it —
//   * sleepFor() in a task that is already cancelled throws CancellationError at once,
//     without suspending;
//   * cancelling a task while it sleeps ends the sleep early: the task resumes on the
//     main actor (not inside cancel()) and sleepFor() throws CancellationError;
//   * a sleep that completes normally returns normally, even if the task is cancelled
//     later.
// Callers that must go on after a cut-short sleep catch CancellationError.
#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

#include "Platform/Error.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

// The state shared by one spawned task and everything it awaits.
struct TaskState {
    bool cancelled = false;
    // Ends the current sleep early, when the task is sleeping.
    std::function<void()> interruptSleep;
};

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::shared_ptr<TaskState> state = std::make_shared<TaskState>();
    std::exception_ptr error;

    // True while the awaiter is still inside its await_suspend, running this task's
    // first steps: a task that ends then hands back by returning, not by resuming it.
    bool startingInline = false;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <class P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            auto& promise = h.promise();
            if (promise.startingInline) return std::noop_coroutine();
            if (auto c = promise.continuation) return c;
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() { error = std::current_exception(); }
};

}  // namespace detail

namespace detail {

template <class T>
struct ValuePromise : PromiseBase {
    std::optional<T> value;
    template <class U>
    void return_value(U&& v) {
        value.emplace(std::forward<U>(v));
    }
    T take() { return std::move(*value); }
};

template <>
struct ValuePromise<void> : PromiseBase {
    void return_void() {}
    void take() {}
};

}  // namespace detail

template <class T = void>
class [[nodiscard]] Task {
public:
    struct promise_type : detail::ValuePromise<T> {
        Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
    };

    Task(Task&& o) noexcept : h_(std::exchange(o.h_, {})) {}
    Task& operator=(Task&& o) noexcept {
        if (this != &o) {
            if (h_) h_.destroy();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    ~Task() {
        if (h_) h_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    // The awaited task inherits its awaiter's cancellation state. It runs at once, on
    // this stack; when it ends without suspending, the awaiter goes on without
    // suspending either, so a loop of such awaits runs flat however long it is.
    template <class P>
    bool await_suspend(std::coroutine_handle<P> caller) {
        auto& promise = h_.promise();
        promise.continuation = caller;
        promise.state = caller.promise().state;
        promise.startingInline = true;
        h_.resume();
        if (h_.done()) return false;
        promise.startingInline = false;
        return true;
    }
    T await_resume() {
        auto& p = h_.promise();
        if (p.error) std::rethrow_exception(p.error);
        return p.take();
    }

private:
    explicit Task(std::coroutine_handle<promise_type> h) : h_(h) {}
    std::coroutine_handle<promise_type> h_;
};

// A handle on a spawned task, for cancelling it and asking whether it finished.
class TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<TaskState> state, std::shared_ptr<bool> done)
        : state_(std::move(state)), done_(std::move(done)) {}
    // Sets the cancellation flag and ends a sleep in progress (see above).
    void cancel() const;
    bool isCancelled() const { return state_ && state_->cancelled; }
    bool isDone() const { return done_ && *done_; }

private:
    std::shared_ptr<TaskState> state_;
    std::shared_ptr<bool> done_;
};

// Starts the task on the main actor of the installed platform: it begins running the
// next time the loop runs posted work.
TaskHandle spawn(Task<void> task);

// Suspends the awaiting task for `seconds` on the main actor's clock.
struct SleepAwaiter {
    explicit SleepAwaiter(double delay) : seconds(delay) {}

    double seconds;
    std::shared_ptr<TaskState> state;
    bool interrupted = false;
    bool started = false;

    // A frame destroyed in the middle of its sleep (its parent task destroyed, or the
    // main actor shut down) leaves nothing behind that could reach it: the timer is
    // cancelled and the task's interrupt is cleared.
    ~SleepAwaiter();

    bool await_ready() const noexcept { return false; }
    template <class P>
    bool await_suspend(std::coroutine_handle<P> h) {
        state = h.promise().state;
        if (state->cancelled) return false;
        start(h);
        return true;
    }
    void await_resume() const {
        // Cancelled before the sleep began, or woken early by the cancellation.
        if (state && state->cancelled && (!started || interrupted)) throw CancellationError();
    }

    struct Pending;
    void start(std::coroutine_handle<> h);
    // Held by the work the main actor has queued for this sleep; it can be locked only
    // while that work is queued, and so while the main actor exists.
    std::weak_ptr<Pending> pending;
};
inline SleepAwaiter sleepFor(double seconds) { return SleepAwaiter(seconds); }

// For waits that only pace a sequence: returns after `seconds`, or earlier when the task
// is cancelled, and never throws.
Task<void> sleepUnlessCancelled(double seconds);

// Whether the awaiting task has been cancelled; never suspends.
struct CancellationQuery {
    bool cancelled = false;
    bool await_ready() const noexcept { return false; }
    template <class P>
    bool await_suspend(std::coroutine_handle<P> h) noexcept {
        cancelled = h.promise().state->cancelled;
        return false;
    }
    bool await_resume() const noexcept { return cancelled; }
};
inline CancellationQuery isCancelled() { return {}; }

}  // namespace kestr
