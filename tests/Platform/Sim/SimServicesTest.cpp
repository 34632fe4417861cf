// The services of the simulated desktop that the menu-bar application leans on: the
// running-applications observer, application icons, the file manager and the updater.
#include <gmock/gmock.h>

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimServicesTest : public test::SimTest {
protected:
    void install(const std::string& id, const std::string& name, std::optional<std::string> iconFile = {}) {
        SimApplication app;
        app.bundleID = id;
        app.name = name;
        app.path = "/Applications/" + id + ".app";
        app.iconFile = std::move(iconFile);
        sim->world().install(app);
    }
};

TEST_F(SimServicesTest, RunningApplicationObserversHearEveryStartAndEnd) {
    install("com.example.a", "A");
    int calls = 0;
    sim->workspace().addRunningApplicationsObserver([&] {
        ++calls;
        // An observer sees the list as it is after the change.
        EXPECT_EQ(sim->workspace().runningApplications().size(), calls == 1 ? 1u : 0u);
    });
    const std::int32_t pid = sim->world().launch("com.example.a").pid;
    EXPECT_EQ(calls, 1);
    sim->world().terminate(pid);
    sim->world().terminate(pid);  // already ended: no second report
    EXPECT_EQ(calls, 2);
}

TEST_F(SimServicesTest, IconsAreDrawnPerApplicationOrReadFromTheNamedFile) {
    const std::string iconFile = sim->files().homeDirectory() + "/icon.png";
    sim->files().writeAtomically(iconFile, "PNG bytes");
    install("com.example.a", "Alpha");
    install("com.example.b", "<b>");
    install("com.example.c", "C", iconFile);
    install("com.example.d", "D", iconFile + ".gone");

    const auto a = sim->workspace().iconForFile("/Applications/com.example.a.app");
    const auto b = sim->workspace().iconForFile("/Applications/com.example.b.app");
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->bytes, b->bytes);
    EXPECT_THAT(a->bytes, testing::HasSubstr(">A</text>"));
    EXPECT_THAT(b->bytes, testing::HasSubstr(">&lt;</text>"));
    EXPECT_EQ(sim->workspace().iconForFile("/Applications/com.example.c.app")->bytes, "PNG bytes");
    EXPECT_FALSE(sim->workspace().iconForFile("/Applications/com.example.d.app"));
    EXPECT_FALSE(sim->workspace().iconForFile("/Applications/com.example.nothing.app"));
}

TEST_F(SimServicesTest, CheckingForUpdatesSaysThereIsNoFeed) {
    sim->updater().start();
    sim->updater().checkForUpdates();
    EXPECT_EQ(sim->simUpdater().starts, 1);
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Can't check for updates");
    EXPECT_THAT(sim->simAlerts().requests[0].informativeText, testing::HasSubstr("no update feed"));
}

}  // namespace
}  // namespace kestr
