#include "Layout/AppLauncher.h"

#include "Layout/StartedTask.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using test::start;
using LaunchError = AppLauncher::LaunchError;

class AppLauncherTest : public test::SimTest {
protected:
    SimApplication& install(const std::string& bundleID, std::optional<double> firstWindowDelay = 0.5) {
        SimApplication app;
        app.bundleID = bundleID;
        app.name = bundleID;
        app.path = "/Applications/" + bundleID + ".app";
        app.launchDelay = 0.1;
        app.firstWindowDelay = firstWindowDelay;
        app.windowTitle = "Untitled";
        app.windowFrame = Rect(100, 100, 600, 400);
        return sim->world().install(app);
    }

    test::StartedTask<std::optional<AppLauncher::Running>> ensure(const std::string& bundleID, bool launch = true,
                                                                  double timeout = 5.0) {
        auto task = start(AppLauncher::ensureRunning(bundleID, launch, timeout, 0.1));
        sim->virtualTime().runPending();
        return task;
    }

    // The launch error the finished task threw.
    template <class Started>
    LaunchError errorOf(const Started& task) {
        EXPECT_TRUE(task.done());
        try {
            task.rethrow();
        } catch (const LaunchError& e) {
            return e;
        }
        ADD_FAILURE() << "no launch error";
        return LaunchError::appNotInstalled("");
    }

    void writeLocalState(const std::string& folder, const std::string& text) {
        const std::string dir = sim->files().applicationSupportDirectories().front() + "/" + folder;
        sim->files().createDirectories(dir);
        sim->files().writeAtomically(dir + "/Local State", text);
    }

    std::vector<std::string> launchArgumentsOf(const std::string& bundleID) {
        install(bundleID);
        auto task = ensure(bundleID);
        sim->virtualTime().runUntilIdle(10);
        EXPECT_TRUE(task.done());
        const auto& requests = sim->simWorkspace().openRequests();
        if (requests.empty()) return {"(not launched)"};
        return requests.back().configuration.arguments;
    }
};

TEST_F(AppLauncherTest, RunningInstanceIsReturnedAtOnceEvenHiddenAndWindowless) {
    install("com.example.Notes");
    SimProcess& first = sim->world().launch("com.example.Notes");
    first.hidden = true;
    const std::int32_t firstPid = first.pid;
    sim->world().launch("com.example.Notes");

    auto task = ensure("com.example.Notes");
    ASSERT_TRUE(task.done());
    task.rethrow();
    ASSERT_TRUE(task.value());
    EXPECT_EQ(task.value()->app.processIdentifier, firstPid);
    EXPECT_FALSE(task.value()->launched);
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());
}

TEST_F(AppLauncherTest, MissingApplicationThatMayNotLaunchGivesNothing) {
    install("com.example.Notes");
    auto task = ensure("com.example.Notes", /*launch=*/false);
    ASSERT_TRUE(task.done());
    task.rethrow();
    EXPECT_FALSE(task.value());
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());
}

TEST_F(AppLauncherTest, NotInstalledAndWorkspaceFailures) {
    auto missing = ensure("com.example.Gone");
    const LaunchError notInstalled = errorOf(missing);
    EXPECT_EQ(notInstalled.kind(), LaunchError::Kind::appNotInstalled);
    EXPECT_STREQ(notInstalled.what(), "App com.example.Gone is not installed.");
    EXPECT_TRUE(sim->simWorkspace().openRequests().empty());

    install("com.example.Broken").launchError = "The application is damaged.";
    auto broken = ensure("com.example.Broken");
    sim->virtualTime().runUntilIdle(10);
    const LaunchError failed = errorOf(broken);
    EXPECT_EQ(failed.kind(), LaunchError::Kind::workspaceFailed);
    EXPECT_EQ(failed.underlying(), "The application is damaged.");
    EXPECT_STREQ(failed.what(), "Failed to launch com.example.Broken: The application is damaged.");
}

TEST_F(AppLauncherTest, LaunchesInTheBackgroundAndWaitsForTheFirstWindow) {
    install("com.example.Notes");
    auto task = ensure("com.example.Notes");
    sim->virtualTime().advance(0.55);
    EXPECT_FALSE(task.done());
    sim->virtualTime().advance(0.2);
    ASSERT_TRUE(task.done());
    task.rethrow();
    EXPECT_TRUE(task.value()->launched);
    EXPECT_FALSE(sim->world().process(task.value()->app.processIdentifier)->windows.empty());
    ASSERT_EQ(sim->simWorkspace().openRequests().size(), 1u);
    const auto& request = sim->simWorkspace().openRequests().front();
    EXPECT_EQ(request.applicationURL, "/Applications/com.example.Notes.app");
    EXPECT_FALSE(request.configuration.activates);
    EXPECT_TRUE(request.configuration.arguments.empty());
}

TEST_F(AppLauncherTest, NoWindowBeforeTheDeadline) {
    install("com.example.Quiet", std::nullopt);
    auto task = ensure("com.example.Quiet");
    // The deadline counts from the reported launch, 0.1 s after the request.
    sim->virtualTime().advance(5.05);
    EXPECT_FALSE(task.done());
    sim->virtualTime().advance(0.2);
    const LaunchError e = errorOf(task);
    EXPECT_EQ(e.kind(), LaunchError::Kind::noWindowsAppeared);
    EXPECT_EQ(e.after(), 5.0);
    EXPECT_STREQ(e.what(), "App com.example.Quiet launched but no windows appeared within 5s.");
    EXPECT_EQ(sim->workspace().runningApplications("com.example.Quiet").size(), 1u);

    install("com.example.Short", std::nullopt);
    auto shortWait = ensure("com.example.Short", true, 2.9);
    sim->virtualTime().runUntilIdle(10);
    EXPECT_STREQ(errorOf(shortWait).what(), "App com.example.Short launched but no windows appeared within 2s.");
}

TEST_F(AppLauncherTest, ZeroTimeOutPollsNothingAndTerminalsCountAsLaunched) {
    for (const char* terminal : {"com.apple.Terminal", "com.mitchellh.ghostty", "com.googlecode.iterm2"}) {
        install(terminal, std::nullopt);
        auto task = ensure(terminal, true, 0);
        sim->virtualTime().runUntilIdle(10);
        ASSERT_TRUE(task.done()) << terminal;
        task.rethrow();
        EXPECT_TRUE(task.value()->launched) << terminal;
    }
    install("com.example.Quiet", std::nullopt);
    auto task = ensure("com.example.Quiet", true, 0);
    sim->simAccessibility().resetCounts();
    sim->virtualTime().runUntilIdle(10);
    EXPECT_STREQ(errorOf(task).what(), "App com.example.Quiet launched but no windows appeared within 0s.");
    EXPECT_EQ(sim->simAccessibility().totalReads(), 0u);
}

TEST_F(AppLauncherTest, CancellationDoesNotCutTheWaitShort) {
    install("com.example.Slow", 2.0);
    auto task = ensure("com.example.Slow");
    sim->virtualTime().advance(0.55);
    task.handle.cancel();
    sim->virtualTime().advance(1.5);
    EXPECT_FALSE(task.done());
    sim->virtualTime().advance(0.2);
    ASSERT_TRUE(task.done());
    task.rethrow();
    EXPECT_TRUE(task.value()->launched);
}

TEST_F(AppLauncherTest, ChromeLaunchesInItsLastUsedProfile) {
    writeLocalState("Google/Chrome", R"({"profile": {"last_used": "Profile 2 With Spaces", "info_cache": {}}})");
    writeLocalState("Google/Chrome Canary", R"({"profile": {"last_used": "Canary Profile"}})");
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome"),
              std::vector<std::string>{"--profile-directory=Profile 2 With Spaces"});
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome.canary"),
              std::vector<std::string>{"--profile-directory=Canary Profile"});
    EXPECT_EQ(launchArgumentsOf("com.apple.Safari"), std::vector<std::string>{});
    const auto chrome = sim->workspace().runningApplications("com.google.Chrome");
    ASSERT_EQ(chrome.size(), 1u);
    EXPECT_EQ(sim->world().process(chrome[0].processIdentifier)->arguments,
              std::vector<std::string>{"--profile-directory=Profile 2 With Spaces"});
}

TEST_F(AppLauncherTest, UnusableLocalStateGivesNoArgument) {
    const std::vector<std::string> states = {
        "",
        "not json",
        R"({"profile": {"last_used": "A")",
        "[]",
        R"("profile")",
        R"({"profile": "Default"})",
        R"({"profile": {"last_used": 3}})",
        R"({"profile": {"last_used": ""}})",
        R"({"profile": {}})",
        "{\"profile\": {\"last_used\": \"\xff\xfe\"}}",
    };
    for (const auto& state : states) {
        writeLocalState("Google/Chrome", state);
        EXPECT_EQ(launchArgumentsOf("com.google.Chrome"), std::vector<std::string>{}) << state;
        for (const auto& app : sim->workspace().runningApplications("com.google.Chrome"))
            sim->world().terminate(app.processIdentifier);
    }
}

TEST_F(AppLauncherTest, MissingLocalStateOrSupportFolderGivesNoArgument) {
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome"), std::vector<std::string>{});

    installPlatform(nullptr);
    SimDesktopOptions options;
    options.folders = UserFolders{"/nonexistent-home", "", "/nonexistent-home/Desktop"};
    sim = std::make_unique<SimDesktop>(std::move(options));
    installPlatform(sim.get());
    EXPECT_EQ(launchArgumentsOf("com.google.Chrome"), std::vector<std::string>{});
}

}  // namespace
}  // namespace kestr
