#include "Layout/AppLauncher.h"

#include "Support/BothDesktops.h"
#include "Support/StartedTask.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using LaunchError = AppLauncher::LaunchError;

class AppLauncherTest : public test::SimTest {
protected:
    SimApplication& install(const std::string& bundleID, std::optional<double> firstWindowDelay = 0.5) {
        SimApplication app;
        app.bundleID = bundleID;
        app.path = "/Applications/" + bundleID + ".app";
        app.launchDelay = 0.1;
        app.firstWindowDelay = firstWindowDelay;
        app.windowFrame = Rect(100, 100, 600, 400);
        return sim->world().install(app);
    }

    test::StartedTask<std::optional<AppLauncher::Running>> ensure(const std::string& bundleID, bool launch = true,
                                                                  double timeout = 5.0) {
        auto task = test::start(AppLauncher::ensureRunning(bundleID, launch, timeout, 0.1));
        sim->virtualTime().runPending();
        return task;
    }

    // The message of the launch error the finished task threw.
    template <class Started>
    std::string errorOf(const Started& task) {
        EXPECT_TRUE(task.done());
        try {
            task.rethrow();
        } catch (const LaunchError& e) {
            return e.what();
        }
        return "(no launch error)";
    }

    std::vector<std::string> launchArgumentsOf(const std::string& bundleID) {
        install(bundleID);
        auto task = ensure(bundleID);
        sim->virtualTime().runUntilIdle(10);
        for (const auto& app : sim->workspace().runningApplications(bundleID))
            sim->world().terminate(app.processIdentifier);
        const auto& requests = sim->simWorkspace().openRequests();
        return requests.empty() ? std::vector<std::string>{"(not launched)"} : requests.back().configuration.arguments;
    }
};

TEST_F(AppLauncherTest, RunningInstanceNothingOrAnError) {
    install("com.example.Notes");
    auto notRunning = ensure("com.example.Notes", /*launch=*/false);
    ASSERT_TRUE(notRunning.done());
    EXPECT_FALSE(notRunning.value());

    SimProcess& first = sim->world().launch("com.example.Notes");
    first.hidden = true;
    const std::int32_t firstPid = first.pid;
    sim->world().launch("com.example.Notes");
    auto task = ensure("com.example.Notes");
    ASSERT_TRUE(task.done());
    EXPECT_EQ(task.value()->app.processIdentifier, firstPid);
    EXPECT_FALSE(task.value()->launched);
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());

    EXPECT_EQ(errorOf(ensure("com.example.Gone")), "App com.example.Gone is not installed.");
    install("com.example.Broken").launchError = "The application is damaged.";
    auto broken = ensure("com.example.Broken");
    sim->virtualTime().runUntilIdle(10);
    EXPECT_EQ(errorOf(broken), "Failed to launch com.example.Broken: The application is damaged.");
}

using LaunchOnBothDesktops = test::OnBothDesktops<AppLauncherTest>;
RUN_ON_BOTH_DESKTOPS(LaunchOnBothDesktops);

TEST_P(LaunchOnBothDesktops, LaunchesInTheBackgroundAndWaitsForTheFirstWindow) {
    install("com.example.Notes");
    auto task = ensure("com.example.Notes");
    sim->virtualTime().advance(0.55);
    EXPECT_FALSE(task.done());
    sim->virtualTime().advance(0.2);
    ASSERT_TRUE(task.done());
    EXPECT_TRUE(task.value()->launched);
    EXPECT_FALSE(sim->simWorkspace().openRequests().at(0).configuration.activates);
}

TEST_P(LaunchOnBothDesktops, NoWindowBeforeTheDeadlineEvenWhenCancelled) {
    install("com.example.Quiet", std::nullopt);
    auto task = ensure("com.example.Quiet");
    sim->virtualTime().advance(0.55);
    task.handle.cancel();
    // One wait from the request, also where the launch is reported only with the
    // window or 5 s after the process started (0.1 s in).
    sim->virtualTime().advance(4.4);
    EXPECT_FALSE(task.done());
    sim->virtualTime().advance(0.2);
    EXPECT_EQ(errorOf(task), "App com.example.Quiet launched but no windows appeared within 5s.");

    // Terminals open no window of their own, yet count as launched.
    install("com.mitchellh.ghostty", std::nullopt);
    auto terminal = ensure("com.mitchellh.ghostty", true, 0);
    sim->virtualTime().runUntilIdle(10);
    ASSERT_TRUE(terminal.done());
    EXPECT_TRUE(terminal.value()->launched);
}

TEST_F(AppLauncherTest, ChromeAndCanaryLaunchInTheirLastUsedProfile) {
    const auto writeLocalState = [&](const std::string& folder, const std::string& text) {
        const std::string dir = sim->files().applicationSupportDirectories().front() + "/" + folder;
        sim->files().createDirectories(dir);
        sim->files().writeAtomically(dir + "/Local State", text);
    };
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome"), std::vector<std::string>{});
    writeLocalState("Google/Chrome", R"({"profile": {"last_used": "Profile 2 With Spaces"}})");
    writeLocalState("Google/Chrome Canary", R"({"profile": {"last_used": "Canary Profile"}})");
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome"),
              std::vector<std::string>{"--profile-directory=Profile 2 With Spaces"});
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome.canary"),
              std::vector<std::string>{"--profile-directory=Canary Profile"});

    for (const std::string state :
         {"not json", R"({"profile": {"last_used": 3}})", "{\"profile\": {\"last_used\": \"\xff\"}}"}) {
        writeLocalState("Google/Chrome", state);
        EXPECT_EQ(launchArgumentsOf("com.google.Chrome"), std::vector<std::string>{}) << state;
    }
}

}  // namespace
}  // namespace kestr
