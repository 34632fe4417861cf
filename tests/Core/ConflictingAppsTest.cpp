#include <gtest/gtest.h>

#include "Core/ConflictingApps.h"
#include "Support/DesktopTest.h"

namespace kestr {
namespace {

class ConflictingAppsTest : public test::DesktopTest {
protected:
    std::int32_t run(const std::string& bundleID, const std::string& name, TerminateBehavior onTerminate = {}) {
        SimProcess& p = addApp(bundleID, name, {});
        p.onTerminate = onTerminate;
        return p.pid;
    }
};

TEST_F(ConflictingAppsTest, OneEntryPerRunningManagerInTableOrderAndQuitAsksPolitely) {
    run("com.knollsoft.Hookshot", "Rectangle Pro", TerminateBehavior::ignores);
    const auto firstRectangle = run("com.knollsoft.Rectangle", "Rectangle");
    run("com.knollsoft.Rectangle", "Rectangle");
    run("com.mizage.Divvy", "Divvy (old)");
    const auto newDivvy = run("com.mizage.direct.Divvy", "Divvy", TerminateBehavior::refuses);

    auto running = ConflictingApps::running();
    ASSERT_EQ(running.size(), 3u);
    EXPECT_EQ(running[0].app.processIdentifier, firstRectangle);
    EXPECT_EQ(running[1].name, "Rectangle Pro");
    EXPECT_EQ(running[2].app.processIdentifier, newDivvy) << "the first identifier of the row wins";

    EXPECT_TRUE(ConflictingApps::quit(running[1]));
    EXPECT_FALSE(ConflictingApps::quit(running[2]));
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(sim->simLog().lines().front(), "kestr[conflict]: quitting Rectangle Pro (com.knollsoft.Hookshot)");
    EXPECT_EQ(ConflictingApps::running().size(), 3u) << "an application that ignores the request keeps running";
}

TEST_F(ConflictingAppsTest, ADesktopOfDesktopFilesKnowsItsOwnPrograms) {
    run("com.knollsoft.Rectangle", "Rectangle");
    const auto tile = run("x-tile", "X Tile");
    EXPECT_EQ(ConflictingApps::running().size(), 1u);
    sim->simCapabilities.desktopFileIDs = true;
    const auto running = ConflictingApps::running();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].name, "X Tile");
    EXPECT_EQ(running[0].app.processIdentifier, tile);
}

TEST_F(ConflictingAppsTest, QuitLeavesAProcessThatIsNoLongerTheConflictingApplication) {
    const auto pid = run("com.knollsoft.Rectangle", "Rectangle");
    const auto entry = ConflictingApps::running().front();
    // The identifier now belongs to another program.
    sim->world().process(pid)->bundleID = "com.example.Editor";
    EXPECT_FALSE(ConflictingApps::quit(entry));
    sim->world().process(pid)->bundleID = "com.knollsoft.Rectangle";
    sim->world().terminate(pid);
    EXPECT_FALSE(ConflictingApps::quit(entry));
    sim->virtualTime().runUntilIdle();
    EXPECT_TRUE(sim->simWorkspace().terminateRequests().empty());
    EXPECT_EQ(sim->simLog().lines().back(), "kestr[conflict]: Rectangle is no longer running");
}

}  // namespace
}  // namespace kestr
