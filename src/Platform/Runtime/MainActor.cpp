#include "Platform/Runtime/MainActor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <vector>

namespace kestr {

MainActor::~MainActor() = default;

TimerID MainActor::schedule(double delay, std::function<void()> work) {
    if (shutDown_) return 0;
    const double due = now() + (delay > 0 ? delay : 0);
    const std::uint64_t seq = nextSeq_++;
    const Key key{due, seq, seq};
    queue_.emplace(key, std::move(work));
    keys_.emplace(key.id, key);
    wake();
    return key.id;
}

void MainActor::reschedule(TimerID id, double delay) {
    auto it = keys_.find(id);
    if (it == keys_.end()) return;
    // The queued work moves as it is: nothing is copied or allocated.
    auto node = queue_.extract(it->second);
    node.key() = Key{now() + (delay > 0 ? delay : 0), nextSeq_++, id};
    it->second = node.key();
    queue_.insert(std::move(node));
    wake();
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

void MainActor::RepeatingTimer::postpone() {
    if (actor_ && pending_) actor_->reschedule(pending_, interval_);
}

std::shared_ptr<MainActor::RepeatingTimer> MainActor::scheduleRepeating(double interval, std::function<void()> work) {
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

namespace {

class RegisteredWatch : public MainActor::DescriptorWatch {
public:
    explicit RegisteredWatch(std::function<void()> forget) : forget_(std::move(forget)) {}
    ~RegisteredWatch() override { forget_(); }

private:
    std::function<void()> forget_;
};

}  // namespace

std::unique_ptr<MainActor::DescriptorWatch> MainActor::watchReadable(int fd, std::function<void()> readable) {
    const std::uint64_t id = nextWatch_++;
    watched_->emplace(id, Watched{fd, std::move(readable)});
    wake();
    return std::make_unique<RegisteredWatch>([weak = std::weak_ptr<std::map<std::uint64_t, Watched>>(watched_), id] {
        if (auto watched = weak.lock()) watched->erase(id);
    });
}

bool MainActor::pollDescriptors(int timeoutMilliseconds, int wakeFd) {
    std::vector<pollfd> fds;
    std::vector<std::uint64_t> ids;
    if (wakeFd >= 0) fds.push_back({wakeFd, POLLIN, 0});
    for (const auto& [id, watched] : *watched_) {
        fds.push_back({watched.fd, POLLIN, 0});
        ids.push_back(id);
    }
    if (fds.empty()) return false;
    if (::poll(fds.data(), fds.size(), timeoutMilliseconds) <= 0) return false;
    std::size_t first = 0;
    if (wakeFd >= 0) {
        first = 1;
        std::uint64_t count = 0;
        if ((fds[0].revents & POLLIN) && ::read(wakeFd, &count, sizeof count) < 0) {
            // Nothing to drain: another wake took it.
        }
    }
    bool ran = false;
    for (std::size_t i = first; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        // A watch that an earlier one ended is not run.
        const auto it = watched_->find(ids[i - first]);
        if (it == watched_->end()) continue;
        const auto readable = it->second.readable;
        readable();
        runAfterWorkHooks();
        ran = true;
    }
    return ran;
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
    keys_.erase(it->first.id);
    queue_.erase(it);
    work();
    runAfterWorkHooks();
    return true;
}

void MainActor::runAfterWorkHooks() {
    for (std::size_t i = 0; i < afterWork_.size(); ++i) afterWork_[i]();
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
    pollDescriptors(0);
    while (runOneDue(now_)) {}
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

// Waits in poll() on the watched descriptors and an eventfd that wake() and stop()
// write to, from any thread.
struct RealTimeMainActor::Impl {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::atomic<bool> stopRequested = false;
    ~Impl() {
        if (wakeFd >= 0) ::close(wakeFd);
    }
    void signal() const {
        const std::uint64_t one = 1;
        if (::write(wakeFd, &one, sizeof one) < 0) {
            // The counter is full: the loop wakes anyway.
        }
    }
};

RealTimeMainActor::RealTimeMainActor() : impl_(std::make_unique<Impl>()) {
    if (impl_->wakeFd < 0) throw std::system_error(errno, std::generic_category(), "cannot make the loop's eventfd");
}

RealTimeMainActor::~RealTimeMainActor() { shutDown(); }

double RealTimeMainActor::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - impl_->start).count();
}

void RealTimeMainActor::wake() { impl_->signal(); }

void RealTimeMainActor::stop() {
    impl_->stopRequested = true;
    impl_->signal();
}

void RealTimeMainActor::run() {
    runLoop();
    impl_->stopRequested = false;
}

void RealTimeMainActor::runLoop() {
    for (;;) {
        if (impl_->stopRequested) return;
        while (runOneDue(now())) {
            if (impl_->stopRequested) return;
        }
        runAfterWorkHooks();
        double next = 0;
        if (nextDue(next) && next <= now()) continue;
        int timeout = -1;
        double due = 0;
        if (nextDue(due)) {
            timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(sleepBefore(due, now())).count());
        }
        pollDescriptors(timeout, impl_->wakeFd);
    }
}

}  // namespace kestr
