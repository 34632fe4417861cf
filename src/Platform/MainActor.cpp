#include "Platform/MainActor.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace kestr {

MainActor::~MainActor() = default;

TimerID MainActor::schedule(double delay, std::function<void()> work) {
    if (shutDown_) return 0;
    const double due = now() + (delay > 0 ? delay : 0);
    const Key key{due, nextSeq_++};
    queue_.emplace(key, std::move(work));
    keys_.emplace(key.seq, key);
    wake();
    return key.seq;
}

void MainActor::cancel(TimerID id) {
    auto it = keys_.find(id);
    if (it == keys_.end()) return;
    queue_.erase(it->second);
    keys_.erase(it);
}

void MainActor::RepeatingTimer::invalidate() {
    valid_ = false;
    MainActor* actor = actor_;
    const TimerID pending = pending_;
    pending_ = 0;
    // Last: dropping the queued tick may release the final reference to this timer.
    if (actor && pending) actor->cancel(pending);
}

std::shared_ptr<MainActor::RepeatingTimer> MainActor::scheduleRepeating(double interval,
                                                                         std::function<void()> work) {
    auto timer = std::make_shared<RepeatingTimer>();
    timer->actor_ = this;
    timer->work_ = std::move(work);
    timer->interval_ = interval;
    scheduleTick(timer);
    return timer;
}

// The queue keeps the timer alive until it is invalidated, as a run loop does.
void MainActor::scheduleTick(const std::shared_ptr<RepeatingTimer>& timer) {
    timer->pending_ = schedule(timer->interval_, [this, timer] {
        timer->pending_ = 0;
        if (!timer->valid_) return;
        // The next tick is scheduled first, so the work may invalidate the timer.
        scheduleTick(timer);
        auto work = timer->work_;
        work();
    });
}

bool MainActor::nextDue(double& due) const {
    if (queue_.empty()) return false;
    due = queue_.begin()->first.due;
    return true;
}

std::chrono::nanoseconds MainActor::sleepBefore(double due, double now) {
    constexpr double longestSleep = 24 * 60 * 60;
    const double wait = due - now;
    if (!(wait > 0)) return std::chrono::nanoseconds(0);
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(wait < longestSleep ? wait : longestSleep));
}

bool MainActor::runOneDue(double time) {
    if (queue_.empty()) return false;
    auto it = queue_.begin();
    if (it->first.due > time) return false;
    auto work = std::move(it->second);
    keys_.erase(it->first.seq);
    queue_.erase(it);
    work();
    return true;
}

void MainActor::shutDown() {
    shutDown_ = true;
    // Unfinished tasks first: their frames may own timers' captures.
    while (!roots_.empty()) {
        void* address = *roots_.begin();
        roots_.erase(roots_.begin());
        std::coroutine_handle<>::from_address(address).destroy();
    }
    // Work may hold captures whose destructors schedule more; drain until empty.
    while (!queue_.empty()) {
        auto q = std::move(queue_);
        queue_.clear();
        keys_.clear();
    }
}

// ---- virtual time ----

VirtualMainActor::~VirtualMainActor() { shutDown(); }

void VirtualMainActor::runPending() {
    while (runOneDue(now_)) {
    }
}

void VirtualMainActor::advance(double seconds) {
    const double end = now_ + (seconds > 0 ? seconds : 0);
    double due = 0;
    while (nextDue(due) && due <= end) {
        if (due > now_) now_ = due;
        runOneDue(now_);
    }
    now_ = end;
}

void VirtualMainActor::runUntilIdle(double limit) {
    const double end = now_ + limit;
    double due = 0;
    while (nextDue(due) && due <= end) {
        if (due > now_) now_ = due;
        runOneDue(now_);
    }
}

// ---- real time ----

struct RealTimeMainActor::Impl {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::mutex mutex;
    std::condition_variable cv;
    bool stopRequested = false;
    bool woken = false;
};

RealTimeMainActor::RealTimeMainActor() : impl_(std::make_unique<Impl>()) {}

RealTimeMainActor::~RealTimeMainActor() { shutDown(); }

double RealTimeMainActor::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - impl_->start).count();
}

void RealTimeMainActor::wake() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->woken = true;
    impl_->cv.notify_one();
}

void RealTimeMainActor::stop() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopRequested = true;
    impl_->cv.notify_one();
}

void RealTimeMainActor::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (impl_->stopRequested) return;
        }
        while (runOneDue(now())) {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (impl_->stopRequested) return;
        }
        std::unique_lock<std::mutex> lock(impl_->mutex);
        if (impl_->stopRequested) return;
        if (impl_->woken) {
            impl_->woken = false;
            continue;
        }
        double due = 0;
        if (nextDue(due)) {
            impl_->cv.wait_for(lock, sleepBefore(due, now()),
                               [this] { return impl_->stopRequested || impl_->woken; });
        } else {
            impl_->cv.wait(lock, [this] { return impl_->stopRequested || impl_->woken; });
        }
        impl_->woken = false;
    }
}

}  // namespace kestr
