// What an apply leaves running: the command line waits for all of it and hears each outcome.

#include "Layout/ApplyAftermath.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "Support/SimTest.h"
#include "Support/StartedTask.h"

namespace kestr {
namespace {

using ApplyAftermathTest = test::SimTest;

Task<void> lasting(double seconds, bool fails = false) {
    co_await sleepFor(seconds);
    if (fails) throw std::runtime_error("gone");
}

TEST_F(ApplyAftermathTest, ItIsOverOnceAllItsWorkEndedThoughSomeStartedLaterOrFailed) {
    ApplyAftermath nothing;
    auto none = test::start(nothing.over());
    sim->virtualTime().runPending();
    EXPECT_TRUE(none.succeeded()) << "nothing ran";

    ApplyAftermath aftermath;
    aftermath.start(lasting(1.5, true));
    auto over = test::start(aftermath.over());
    sim->virtualTime().advance(1);
    ApplyAftermath(aftermath).start(lasting(2));  // a copy: the same aftermath
    sim->virtualTime().advance(1);  // 2 s: the first ended, failing
    EXPECT_FALSE(over.done());
    sim->virtualTime().advance(1.1);  // 3.1 s: the second ended too
    EXPECT_TRUE(over.succeeded());
}

TEST_F(ApplyAftermathTest, AListenerHearsTheOutcomesSaidBeforeItThenEachAsItIsSaid) {
    ApplyAftermath aftermath;
    ApplyAftermath told = aftermath;
    told.ended("DEFERRED PLACED Slow");
    std::vector<std::string> heard;
    aftermath.listen([&heard](const std::string& outcome) { heard.push_back(outcome); });
    told.ended("DEFERRED GAVE UP Mute");
    EXPECT_EQ(heard, (std::vector<std::string>{"DEFERRED PLACED Slow", "DEFERRED GAVE UP Mute"}));
}

}  // namespace
}  // namespace kestr
