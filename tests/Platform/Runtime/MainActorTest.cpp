// The main actor's ordering and timing guarantees, and the Task runtime on top of it.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "Platform/Runtime/Task.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

class MainActorTest : public test::SimTest {
protected:
    VirtualMainActor& loop() { return sim->virtualTime(); }
    std::vector<std::string> trace;
};

TEST_F(MainActorTest, WorkRunsInSchedulingOrderEachTimerAtItsDeadline) {
    loop().schedule(1.0, [&] { trace.push_back("timer A"); });
    loop().post([&] { trace.push_back("post 1"); });
    loop().schedule(1.0, [&] { trace.push_back("timer B"); });
    loop().schedule(0.5, [&] { trace.push_back("early timer at " + std::to_string(loop().now())); });
    const TimerID cancelled = loop().schedule(0.7, [&] { trace.push_back("cancelled timer"); });
    loop().post([&] {
        trace.push_back("post 2");
        loop().post([&] { trace.push_back("post 3, posted while running"); });
    });
    loop().runPending();
    EXPECT_EQ(trace, (std::vector<std::string>{"post 1", "post 2", "post 3, posted while running"}));
    loop().advance(0.6);
    loop().cancel(cancelled);
    loop().advance(0.6);
    EXPECT_EQ(trace, (std::vector<std::string>{"post 1", "post 2", "post 3, posted while running",
                                               "early timer at 0.500000", "timer A", "timer B"}));
    loop().cancel(cancelled);  // a second cancel of a finished timer is harmless

    // A repeating timer ticks until invalidated, even from its own tick.
    int ticks = 0;
    std::shared_ptr<MainActor::RepeatingTimer> timer;
    timer = loop().scheduleRepeating(0.5, [&] {
        if (++ticks == 3) timer->invalidate();
    });
    loop().advance(10.0);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(loop().hasPendingWork());

    // Postponed, the next tick comes a full interval later, behind work due then.
    ticks = 0;
    timer = loop().scheduleRepeating(0.5, [&] { ++ticks; });
    loop().advance(0.4);
    int ticksBeforeWork = -1;
    loop().schedule(0.5, [&] { ticksBeforeWork = ticks; });
    timer->postpone();
    loop().advance(0.45);
    EXPECT_EQ(ticks, 0);
    loop().advance(0.1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(ticksBeforeWork, 0);
    loop().advance(0.5);
    EXPECT_EQ(ticks, 2);
    timer->invalidate();
    timer->postpone();  // an invalidated timer stays stopped
    EXPECT_FALSE(loop().hasPendingWork());
}

Task<int> addAfter(double delay, int a, int b) {
    co_await sleepFor(delay);
    co_return a + b;
}

struct Boom : Error {
    Boom() : Error("boom") {}
};

Task<int> throwsAfterSleep() {
    co_await sleepFor(0.1);
    throw Boom();
}

// A loop sleeps until its earliest work is due. Work due absurdly far away (a scenario's
// launch delay of 1e308 seconds) must make it sleep long, not overflow into a negative
// wait that wakes it at once, again and again.
TEST_F(MainActorTest, FarDeadlinesSleepADayAtMostNeverLess) {
    using namespace std::chrono_literals;
    EXPECT_EQ(MainActor::sleepBefore(6.5, 5), 1500ms);
    EXPECT_EQ(MainActor::sleepBefore(4, 5), 0ns) << "overdue";
    for (double due : {1e308, std::numeric_limits<double>::infinity(), 86400.0 + 10}) {
        EXPECT_EQ(MainActor::sleepBefore(due, 5), 24h) << due;
    }

    bool woke = false;
    spawn([](bool& flag) -> Task<void> {
        co_await sleepFor(1e308);
        flag = true;
    }(woke));
    loop().advance(1e300);
    EXPECT_FALSE(woke);
}

TEST_F(MainActorTest, NestedAwaitsResumeAtTheirDeadlinesAndExceptionsReachTheAwaiter) {
    int result = 0;
    spawn([](std::vector<std::string>& t, int& r) -> Task<void> {
        t.push_back("started");
        const int x = co_await addAfter(1.0, 1, 2);
        r = co_await addAfter(2.0, x, 10);
        try {
            co_await throwsAfterSleep();
        } catch (const Boom& e) {
            t.push_back(e.what());
        }
    }(trace, result));
    EXPECT_TRUE(trace.empty()) << "a spawned task starts on the loop, not inside spawn()";
    loop().runPending();
    EXPECT_EQ(trace, (std::vector<std::string>{"started"}));
    loop().advance(2.9);
    EXPECT_EQ(result, 0);
    loop().advance(0.1);
    EXPECT_EQ(result, 13);
    loop().runUntilIdle();
    EXPECT_EQ(trace, (std::vector<std::string>{"started", "boom"}));
    EXPECT_TRUE(sim->simLog().lines().empty());

    auto handle = spawn([]() -> Task<void> { co_await throwsAfterSleep(); }());
    loop().runUntilIdle();
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr: task failed: boom"}));
}

TEST_F(MainActorTest, CancellationWakesASleepingTaskEarlyWithCancellationError) {
    auto handle = spawn([](std::vector<std::string>& t, VirtualMainActor& l) -> Task<void> {
        try {
            co_await sleepFor(10.0);
            t.push_back("slept");
        } catch (const CancellationError&) {
            t.push_back("cancelled at " + std::to_string(l.now()));
        }
        // Once cancelled, a further sleep throws at once without suspending.
        try {
            co_await sleepFor(1.0);
        } catch (const CancellationError&) {
            t.push_back("second sleep refused");
        }
        t.push_back(co_await isCancelled() ? "flag set" : "flag clear");
    }(trace, loop()));
    loop().advance(2.0);
    handle.cancel();
    EXPECT_TRUE(trace.empty()) << "the task resumes on the loop, not inside cancel()";
    loop().runPending();
    EXPECT_EQ(trace, (std::vector<std::string>{"cancelled at 2.000000", "second sleep refused", "flag set"}));
    EXPECT_TRUE(handle.isDone());
    EXPECT_FALSE(loop().hasPendingWork()) << "the cancelled sleep's timer is gone";
}

Task<int> immediately(int value) { co_return value; }
Task<void> immediatelyAdd(long& sum, int value) { sum += co_await immediately(value); }

// Awaits that finish without suspending hand their result back without nesting one
// call per await; under the sanitizers this overflowed the stack.
TEST_F(MainActorTest, ManyAwaitsThatFinishAtOnceRunFlat) {
    long sum = 0;
    auto handle = spawn([](long& total, VirtualMainActor& l) -> Task<void> {
        for (int i = 1; i <= 100000; ++i) co_await immediatelyAdd(total, i);
        // Still a real suspension between two runs of such awaits.
        co_await sleepFor(1.0);
        for (int i = 0; i < 100000; ++i) total += co_await immediately(1);
        total += static_cast<long>(l.now());
    }(sum, loop()));
    loop().runPending();
    EXPECT_EQ(sum, 5000050000L);
    loop().advance(1.0);
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(sum, 5000050000L + 100000 + 1);
}

TEST_F(MainActorTest, UnfinishedTasksAreDestroyedWithTheLoop) {
    // Leak checking under the sanitizer build is what makes this test meaningful.
    struct Tracker {
        bool* destroyed;
        ~Tracker() { *destroyed = true; }
    };
    bool destroyed = false;
    const TaskHandle handle = spawn([](bool* flag) -> Task<void> {
        Tracker t{flag};
        co_await sleepFor(100.0);
    }(&destroyed));
    loop().advance(1.0);
    EXPECT_FALSE(destroyed);
    installPlatform(nullptr);
    sim.reset();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(handle.isDone());
    handle.cancel();  // reaches neither the freed frame nor the freed loop
    EXPECT_TRUE(handle.isCancelled());
}

// A coroutine the test resumes and destroys by hand, as a parent task does with the
// frames of the tasks it awaits.
struct HandDriven {
    struct promise_type : detail::PromiseBase {
        HandDriven get_return_object() { return {std::coroutine_handle<promise_type>::from_promise(*this)}; }
        std::suspend_never initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        void return_void() {}
    };
    std::coroutine_handle<promise_type> frame;
};

TEST_F(MainActorTest, AFrameDestroyedWhileAsleepIsNeverResumedNorReachedByACancel) {
    auto sleeper = [](std::vector<std::string>& t) -> HandDriven {
        co_await sleepFor(5.0);
        t.push_back("woke");
    };
    // Destroyed while the timer is pending, then cancelled.
    HandDriven first = sleeper(trace);
    const TaskHandle firstHandle(first.frame.promise().state, nullptr);
    first.frame.destroy();
    EXPECT_FALSE(loop().hasPendingWork()) << "the timer went with the frame";
    firstHandle.cancel();
    loop().advance(10.0);

    // Cancelled first, then destroyed before the posted resumption runs.
    HandDriven second = sleeper(trace);
    TaskHandle(second.frame.promise().state, nullptr).cancel();
    second.frame.destroy();
    loop().runUntilIdle();
    EXPECT_TRUE(trace.empty());
}

}  // namespace
}  // namespace kestr
