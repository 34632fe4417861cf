#include <gtest/gtest.h>

#include "Core/ConflictingApps.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

class ConflictingAppsTest : public test::DesktopTest {
protected:
    std::int32_t run(const std::string& bundleID, const std::string& name,
                     TerminateBehavior onTerminate = TerminateBehavior::quits) {
        SimProcess& p = addApp(bundleID, name, {});
        p.onTerminate = onTerminate;
        return p.pid;
    }
};

TEST_F(ConflictingAppsTest, ListsOneEntryPerRunningManagerInTableOrder) {
    EXPECT_TRUE(ConflictingApps::running().empty());

    run("com.knollsoft.Hookshot", "Rectangle Pro");
    const auto firstRectangle = run("com.knollsoft.Rectangle", "Rectangle");
    run("com.knollsoft.Rectangle", "Rectangle");
    run("com.mizage.Divvy", "Divvy (old)");
    const auto newDivvy = run("com.mizage.direct.Divvy", "Divvy");
    run("com.example.Notes", "Notes");

    const auto running = ConflictingApps::running();
    ASSERT_EQ(running.size(), 3u);
    EXPECT_EQ(running[0].name, "Rectangle");
    EXPECT_EQ(running[0].app.processIdentifier, firstRectangle);
    EXPECT_EQ(running[1].name, "Rectangle Pro");
    EXPECT_EQ(running[2].name, "Divvy");
    EXPECT_EQ(running[2].app.processIdentifier, newDivvy) << "the first identifier of the row wins";
}

TEST_F(ConflictingAppsTest, QuitLogsAndAsksPolitely) {
    run("com.manytricks.Moom", "Moom");
    run("com.amethyst.Amethyst", "Amethyst", TerminateBehavior::ignores);
    auto running = ConflictingApps::running();
    ASSERT_EQ(running.size(), 2u);

    EXPECT_TRUE(ConflictingApps::quit(running[0]));
    EXPECT_TRUE(ConflictingApps::quit(running[1]));
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(sim->simLog().lines(), (std::vector<std::string>{"kestr[conflict]: quitting Moom (com.manytricks.Moom)",
                                                                "kestr[conflict]: quitting Amethyst (com.amethyst.Amethyst)"}));
    running = ConflictingApps::running();
    ASSERT_EQ(running.size(), 1u) << "an application that ignores the request keeps running";
    EXPECT_EQ(running[0].name, "Amethyst");
}

TEST_F(ConflictingAppsTest, RefusedQuitReturnsFalseAndUnknownBundleShowsQuestionMark) {
    const auto pid = run("com.mrkai77.Loop", "Loop", TerminateBehavior::refuses);
    ConflictingApps::Running loop{"Loop", *sim->workspace().runningApplication(pid)};
    EXPECT_FALSE(ConflictingApps::quit(loop));
    loop.app.bundleIdentifier.reset();
    ConflictingApps::quit(loop);
    EXPECT_EQ(sim->simLog().lines().back(), "kestr[conflict]: quitting Loop (?)");
}

}  // namespace
}  // namespace kestr
