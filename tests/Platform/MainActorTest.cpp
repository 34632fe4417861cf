// The main actor's ordering and timing guarantees, and the Task runtime on top of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Platform/Task.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using test::SimTest;

class MainActorTest : public SimTest {
protected:
    VirtualMainActor& loop() { return sim->virtualTime(); }
    std::vector<std::string> order;
};

TEST_F(MainActorTest, WorkDueAtTheSameInstantRunsInSchedulingOrder) {
    loop().schedule(1.0, [&] { order.push_back("timer A"); });
    loop().post([&] { order.push_back("post 1"); });
    loop().schedule(1.0, [&] { order.push_back("timer B"); });
    loop().post([&] {
        order.push_back("post 2");
        loop().post([&] { order.push_back("post 3, posted while running"); });
    });
    loop().runPending();
    EXPECT_EQ(order, (std::vector<std::string>{"post 1", "post 2", "post 3, posted while running"}));
    loop().advance(1.0);
    EXPECT_EQ(order.size(), 5u);
    EXPECT_EQ(order[3], "timer A");
    EXPECT_EQ(order[4], "timer B");
}

TEST_F(MainActorTest, AdvancingRunsEachTimerAtItsOwnDeadline) {
    std::vector<double> seen;
    for (double d : {0.5, 2.0, 1.25}) loop().schedule(d, [&] { seen.push_back(loop().now()); });
    loop().advance(3.0);
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.25, 2.0}));
    EXPECT_DOUBLE_EQ(loop().now(), 3.0);
}

TEST_F(MainActorTest, CancelledTimerNeverRuns) {
    bool ran = false;
    const TimerID id = loop().schedule(1.0, [&] { ran = true; });
    loop().advance(0.5);
    loop().cancel(id);
    loop().advance(5.0);
    EXPECT_FALSE(ran);
    loop().cancel(id);  // a second cancel of a finished timer is harmless
}

TEST_F(MainActorTest, RepeatingTimerTicksUntilInvalidatedEvenFromItsOwnTick) {
    int ticks = 0;
    std::shared_ptr<MainActor::RepeatingTimer> timer;
    timer = loop().scheduleRepeating(0.5, [&] {
        if (++ticks == 3) timer->invalidate();
    });
    loop().advance(10.0);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(loop().hasPendingWork());
}

Task<int> addAfter(double delay, int a, int b) {
    co_await sleepFor(delay);
    co_return a + b;
}

Task<int> nested(std::vector<std::string>& trace) {
    trace.push_back("outer start");
    const int x = co_await addAfter(1.0, 1, 2);
    trace.push_back("inner done");
    const int y = co_await addAfter(2.0, x, 10);
    trace.push_back("second inner done");
    co_return y;
}

TEST_F(MainActorTest, NestedAwaitsResumeAtTheirDeadlines) {
    std::vector<std::string> trace;
    int result = 0;
    double finishedAt = -1;
    spawn([](std::vector<std::string>& t, int& r, double& at, VirtualMainActor& l) -> Task<void> {
        r = co_await nested(t);
        at = l.now();
    }(trace, result, finishedAt, loop()));
    EXPECT_TRUE(trace.empty()) << "a spawned task starts on the loop, not inside spawn()";
    loop().runPending();
    EXPECT_EQ(trace, (std::vector<std::string>{"outer start"}));
    loop().advance(1.0);
    EXPECT_EQ(trace.size(), 2u);
    loop().advance(5.0);
    EXPECT_EQ(result, 13);
    EXPECT_DOUBLE_EQ(finishedAt, 3.0);
}

struct Boom : Error {
    Boom() : Error("boom") {}
};

Task<int> throwsAfterSleep() {
    co_await sleepFor(0.1);
    throw Boom();
}

TEST_F(MainActorTest, ExceptionInInnerTaskReachesItsAwaiter) {
    std::string caught;
    spawn([](std::string& out) -> Task<void> {
        try {
            co_await throwsAfterSleep();
        } catch (const Boom& e) {
            out = e.what();
        }
    }(caught));
    loop().runUntilIdle();
    EXPECT_EQ(caught, "boom");
    EXPECT_TRUE(sim->simLog().lines().empty());
}

TEST_F(MainActorTest, ExceptionEscapingSpawnedTaskIsLogged) {
    auto handle = spawn([]() -> Task<void> {
        co_await throwsAfterSleep();
    }());
    loop().runUntilIdle();
    EXPECT_TRUE(handle.isDone());
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr: task failed: boom"}));
}

TEST_F(MainActorTest, CancellingASleepingTaskWakesItEarlyWithCancellationError) {
    std::vector<std::string> trace;
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
            t.push_back("slept again");
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

TEST_F(MainActorTest, SleepThatCompletedIsNotUndoneByLaterCancellation) {
    std::vector<std::string> trace;
    TaskHandle handle;
    handle = spawn([](std::vector<std::string>& t, TaskHandle& self) -> Task<void> {
        co_await sleepFor(1.0);
        t.push_back("slept");
        self.cancel();
        t.push_back("still running");
    }(trace, handle));
    loop().runUntilIdle();
    EXPECT_EQ(trace, (std::vector<std::string>{"slept", "still running"}));
}

TEST_F(MainActorTest, UnfinishedTasksAreDestroyedWithTheLoop) {
    // Leak checking under the sanitizer build is what makes this test meaningful.
    struct Tracker {
        bool* destroyed;
        ~Tracker() { *destroyed = true; }
    };
    bool destroyed = false;
    spawn([](bool* flag) -> Task<void> {
        Tracker t{flag};
        co_await sleepFor(100.0);
    }(&destroyed));
    loop().advance(1.0);
    EXPECT_FALSE(destroyed);
    installPlatform(nullptr);
    sim.reset();
    EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace kestr
