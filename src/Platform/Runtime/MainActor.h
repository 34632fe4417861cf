// The one event loop everything runs on. Work is posted or scheduled after a delay;
// work due at the same instant runs in the order it was scheduled. Time here is the
// loop's own monotonic clock in seconds (virtual in tests), never the wall clock.
#pragma once

#include <chrono>
#include <coroutine>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace kestr {

using TimerID = std::uint64_t;

class MainActor {
public:
    virtual ~MainActor();

    // Seconds on the loop's monotonic clock.
    virtual double now() const = 0;

    // Runs `work` once, `delay` seconds from now (at once for 0 or less).
    TimerID schedule(double delay, std::function<void()> work);
    void post(std::function<void()> work) { schedule(0, std::move(work)); }
    // A cancelled timer never runs; cancelling an unknown or finished timer does nothing.
    void cancel(TimerID id);
    // Moves pending work to `delay` seconds from now, behind work already due then;
    // an unknown or finished timer is left alone.
    void reschedule(TimerID id, double delay);

    // Runs `work` every `interval` seconds until the returned timer is invalidated.
    class RepeatingTimer {
    public:
        void invalidate();
        bool isValid() const { return valid_; }
        // The next tick comes a full interval from now.
        void postpone();

    private:
        friend class MainActor;
        MainActor* actor_ = nullptr;
        TimerID pending_ = 0;
        bool valid_ = true;
        double interval_ = 0;
        std::function<void()> work_;
    };
    std::shared_ptr<RepeatingTimer> scheduleRepeating(double interval, std::function<void()> work);

    // Runs `readable` on this loop whenever the descriptor has data to read, until the
    // returned watch is destroyed (which must happen before the descriptor is closed).
    // The descriptor stays the caller's; `readable` must read what is there.
    class DescriptorWatch {
    public:
        virtual ~DescriptorWatch() = default;
    };
    virtual std::unique_ptr<DescriptorWatch> watchReadable(int fd, std::function<void()> readable);
    // Runs after every piece of work and every watch, and before the loop waits: a
    // connection that read events into its own queue while it waited for a reply hands
    // them out here, since they will never make its descriptor readable again.
    void addAfterWorkHook(std::function<void()> hook) { afterWork_.push_back(std::move(hook)); }
    void runAfterWorkHooks();

    bool hasPendingWork() const { return !queue_.empty(); }
    // When the earliest scheduled work is due; none when nothing is scheduled.
    bool nextDue(double& due) const;

    // Coroutine frames of detached tasks (see Task.h), destroyed with the loop if they
    // never finish.
    void adoptRoot(std::coroutine_handle<> root) { roots_.insert(root.address()); }
    void forgetRoot(std::coroutine_handle<> root) { roots_.erase(root.address()); }

    // How long a loop sleeps before work due at `due`: never negative and at most a
    // day, so that every timer holds it in its own units (work due in 1e308 seconds
    // would otherwise overflow the conversion and fire at once, again and again). A
    // loop that wakes with nothing due simply sleeps again.
    static std::chrono::nanoseconds sleepBefore(double due, double now);

private:
    void scheduleTick(const std::shared_ptr<RepeatingTimer>& timer);

protected:
    // Called by subclasses: runs the earliest work if it is due at `time`. Returns
    // false when nothing is due.
    bool runOneDue(double time);
    // Implementations wake their loop when new work arrives.
    virtual void wake() {}
    // Must be called from subclass destructors: drops queued work and unfinished tasks
    // while the subclass still exists.
    void shutDown();
    // Waits up to `timeoutMilliseconds` (-1: without end) for a watched descriptor to
    // become readable, or for `wakeFd` when one is given (which is then drained), and
    // runs the watches of those that are. False when nothing was readable.
    bool pollDescriptors(int timeoutMilliseconds, int wakeFd = -1);

private:
    struct Key {
        double due;
        std::uint64_t seq;
        // The work's timer; its order is the sequence's.
        TimerID id;
        bool operator<(const Key& o) const { return due < o.due || (due == o.due && seq < o.seq); }
    };
    std::map<Key, std::function<void()>> queue_;
    std::map<TimerID, Key> keys_;
    std::uint64_t nextSeq_ = 1;
    std::set<void*> roots_;
    std::vector<std::function<void()>> afterWork_;
    bool shutDown_ = false;
    struct Watched {
        int fd;
        std::function<void()> readable;
    };
    // Shared with the watches, which may outlive the loop.
    std::shared_ptr<std::map<std::uint64_t, Watched>> watched_ = std::make_shared<std::map<std::uint64_t, Watched>>();
    std::uint64_t nextWatch_ = 1;
};

// The loop of the tests: time stands still until advanced.
class VirtualMainActor final : public MainActor {
public:
    ~VirtualMainActor() override;
    double now() const override { return now_; }
    // Runs the watches of readable descriptors, then everything that is due now,
    // including work that it schedules for now.
    void runPending();
    // Moves time forward by `seconds`, running each piece of work at its own deadline.
    void advance(double seconds);
    // Advances until nothing is scheduled or `limit` seconds have passed.
    void runUntilIdle(double limit = 3600);

private:
    double now_ = 0;
};

// The loop of the program where no user interface runs: waits for the next deadline.
class RealTimeMainActor final : public MainActor {
public:
    RealTimeMainActor();
    ~RealTimeMainActor() override;
    double now() const override;
    // Runs until stop() is called; a stop that came before returns at once. Each stop
    // ends one run, so the loop can run again.
    void run();
    void stop();

private:
    void runLoop();
    void wake() override;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kestr
