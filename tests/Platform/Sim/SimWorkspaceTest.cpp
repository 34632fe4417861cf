#include "Platform/Sim/SimWorkspace.h"

#include "Support/SimTest.h"

namespace kestr {
namespace {

class SimWorkspaceTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        SimApplication notes;
        notes.bundleID = "com.example.Notes";
        notes.name = "Notes";
        notes.path = "/Applications/Notes.app";
        notes.launchDelay = 0.1;
        notes.firstWindowDelay = 0.5;
        notes.reopenDelay = 0.3;
        notes.windowTitle = "Untitled";
        notes.windowFrame = Rect(100, 100, 600, 400);
        sim->world().install(notes);
    }
    std::vector<AXElement> windowsOf(std::int32_t pid) {
        AXValue value;
        auto& ax = sim->accessibility();
        if (ax.copyAttributeValue(ax.createApplication(pid), "AXWindows", value) != AXError::success) return {};
        return std::get<AXElementList>(value);
    }
};

TEST_F(SimWorkspaceTest, LaunchCompletesAfterItsDelayAndTheFirstWindowFollows) {
    std::optional<RunningApplication> launched;
    OpenConfiguration configuration;
    configuration.activates = false;
    configuration.arguments = {"--profile-directory=Profile 1"};
    sim->workspace().openApplication("/Applications/Notes.app", configuration,
                                     [&](std::optional<RunningApplication> app, std::optional<std::string> error) {
                                         EXPECT_FALSE(error);
                                         launched = app;
                                     });
    sim->virtualTime().advance(0.09);
    EXPECT_FALSE(launched);
    EXPECT_TRUE(sim->workspace().runningApplications("com.example.Notes").empty());
    sim->virtualTime().advance(0.02);
    ASSERT_TRUE(launched);
    EXPECT_EQ(sim->world().process(launched->processIdentifier)->arguments, configuration.arguments);
    EXPECT_FALSE(sim->world().frontmostPid);
    sim->virtualTime().advance(0.48);
    EXPECT_TRUE(windowsOf(launched->processIdentifier).empty());
    sim->virtualTime().advance(0.02);
    EXPECT_EQ(windowsOf(launched->processIdentifier).size(), 1u);
}

TEST_F(SimWorkspaceTest, TwoRequestsDuringOneLaunchShareTheProcess) {
    std::vector<std::int32_t> pids;
    auto record = [&](std::optional<RunningApplication> app, std::optional<std::string>) {
        pids.push_back(app ? app->processIdentifier : 0);
    };
    sim->workspace().openApplication("/Applications/Notes.app", {}, record);
    sim->virtualTime().advance(0.05);
    sim->workspace().openApplication("/Applications/Notes.app", {}, record);
    sim->virtualTime().runUntilIdle();
    ASSERT_EQ(pids.size(), 2u);
    EXPECT_EQ(pids[0], pids[1]);
    EXPECT_EQ(sim->workspace().runningApplications("com.example.Notes").size(), 1u);
}

TEST_F(SimWorkspaceTest, RunningWindowlessApplicationReopensAWindow) {
    const std::int32_t pid = sim->world().launch("com.example.Notes").pid;
    sim->workspace().openApplication("/Applications/Notes.app", {}, nullptr);
    sim->virtualTime().advance(0.29);
    EXPECT_TRUE(windowsOf(pid).empty());
    sim->virtualTime().advance(0.01);
    EXPECT_EQ(windowsOf(pid).size(), 1u);
    // With a window open, another request opens nothing more.
    sim->workspace().openApplication("/Applications/Notes.app", {}, nullptr);
    sim->virtualTime().runUntilIdle();
    EXPECT_EQ(windowsOf(pid).size(), 1u);
}

TEST_F(SimWorkspaceTest, UnknownApplicationFailsLater) {
    std::optional<std::string> failure;
    sim->workspace().openApplication("/Applications/Missing.app", {},
                                     [&](std::optional<RunningApplication> app, std::optional<std::string> error) {
                                         EXPECT_FALSE(app);
                                         failure = error;
                                     });
    EXPECT_FALSE(failure);
    sim->virtualTime().runPending();
    EXPECT_TRUE(failure);
}

TEST_F(SimWorkspaceTest, TerminateFollowsTheApplication) {
    SimProcess& quits = sim->world().launch("com.example.Notes");
    SimProcess& ignores = sim->world().launch("com.example.Notes");
    ignores.onTerminate = TerminateBehavior::ignores;
    SimProcess& refuses = sim->world().launch("com.example.Notes");
    refuses.onTerminate = TerminateBehavior::refuses;
    const auto quitsPid = quits.pid, ignoresPid = ignores.pid, refusesPid = refuses.pid;
    EXPECT_TRUE(sim->workspace().terminate(quitsPid));
    EXPECT_TRUE(sim->workspace().terminate(ignoresPid));
    EXPECT_FALSE(sim->workspace().terminate(refusesPid));
    sim->virtualTime().runPending();
    EXPECT_TRUE(sim->workspace().runningApplication(quitsPid)->isTerminated);
    EXPECT_EQ(sim->workspace().runningApplications("com.example.Notes").size(), 2u);
    EXPECT_FALSE(sim->workspace().terminate(quitsPid));
}

}  // namespace
}  // namespace kestr
