// Where the program's simulated desktop keeps its files, and the desktop kept from one
// run to the next.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "App/SimBackend.h"
#include "Platform/Platform.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

SimBackendPaths pathsFor(std::map<std::string, std::string> variables) {
    return SimBackendPaths::fromEnvironment([variables](const std::string& name) -> std::optional<std::string> {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    });
}

TEST(SimBackendPathsTest, FoldersFollowTheEnvironment) {
    auto paths = pathsFor({{"HOME", "/home/kim"}});
    EXPECT_EQ(paths.folders.home, "/home/kim");
    EXPECT_EQ(paths.folders.desktop, "/home/kim/Desktop");
    EXPECT_EQ(paths.folders.applicationSupport, "/home/kim/.local/share");
    EXPECT_EQ(paths.scenarioPath, "/home/kim/.local/state/kestr/sim-desktop.json");

    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "/data"}, {"XDG_STATE_HOME", "/state"}});
    EXPECT_EQ(paths.folders.applicationSupport, "/data");
    EXPECT_EQ(paths.scenarioPath, "/state/kestr/sim-desktop.json");

    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_STATE_HOME", "/state"}, {"KESTR_SIM_DESKTOP", "desk.json"}});
    EXPECT_EQ(paths.scenarioPath, "desk.json") << "an explicit scenario file wins";
}

TEST(SimBackendPathsTest, LogLinesGoToStandardErrorOnlyWhenAsked) {
    EXPECT_FALSE(pathsFor({{"HOME", "/home/kim"}}).logToStderr);
    EXPECT_FALSE(pathsFor({{"HOME", "/home/kim"}, {"KESTR_LOG_STDERR", "yes"}}).logToStderr);
    EXPECT_TRUE(pathsFor({{"HOME", "/home/kim"}, {"KESTR_LOG_STDERR", "1"}}).logToStderr);
}

TEST(SimBackendPathsTest, EmptyOrRelativeBaseFoldersAreIgnored) {
    const auto paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", ""},
                                 {"KESTR_SIM_DESKTOP", ""}});
    EXPECT_EQ(paths.folders.applicationSupport, "/home/kim/.local/share");
    EXPECT_EQ(paths.scenarioPath, "/home/kim/.local/state/kestr/sim-desktop.json");
}

TEST(SimBackendPathsTest, HomeMustBeAnAbsolutePath) {
    for (const auto& variables : std::vector<std::map<std::string, std::string>>{
             {}, {{"HOME", ""}}, {{"HOME", "kim"}}}) {
        try {
            pathsFor(variables);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(variables);
        } catch (const SimBackendError& e) {
            EXPECT_STREQ(e.what(), "kestr: HOME must be set to an absolute path");
        }
    }
}

class SimBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kestr-backend-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        paths = pathsFor({{"HOME", root}});
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::string root;
    SimBackendPaths paths;
};

TEST_F(SimBackendTest, TheDesktopIsKeptBetweenRuns) {
    Point moved;
    {
        SimBackend first(paths);
        EXPECT_EQ(&platform(), &first.desktop()) << "installed while it lives";
        EXPECT_EQ(first.desktop().files().homeDirectory(), root);
        const double wallClock =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
        EXPECT_NEAR(first.desktop().clock().now(), wallClock, 60);
        auto& windows = first.desktop().world().processes().front().windows;
        ASSERT_FALSE(windows.empty()) << "the built-in desktop has windows";
        SimProcess* process = first.desktop().world().process(first.desktop().world().processes().front().pid);
        process->windows.front().position = Point{333, 444};
        moved = process->windows.front().position;
        first.save();
    }
    EXPECT_FALSE(hasPlatform());
    ASSERT_TRUE(std::filesystem::exists(paths.scenarioPath)) << "its folder was created";

    SimBackend second(paths);
    EXPECT_EQ(second.desktop().world().processes().front().windows.front().position, moved);
}

TEST_F(SimBackendTest, LogLinesReachTheSystemLogAndStandardErrorWhenAsked) {
    paths.logToStderr = true;
    SimBackend backend(paths);
    ::testing::internal::CaptureStderr();
    platform().log().line("kestr: a line for the system log");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "kestr: a line for the system log\n");
    EXPECT_EQ(backend.desktop().simLog().lines().back(), "kestr: a line for the system log");
}

TEST_F(SimBackendTest, UnreadableScenarioIsReportedAndLeftAlone) {
    std::filesystem::create_directories(std::filesystem::path(paths.scenarioPath).parent_path());
    PosixFiles(UserFolders{}).writeAtomically(paths.scenarioPath, "{\"version\": 1, \"displays\": 7}");
    try {
        SimBackend backend(paths);
        ADD_FAILURE() << "loaded a broken scenario";
    } catch (const SimBackendError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("kestr: cannot load the simulated desktop from " + paths.scenarioPath +
                                                  ": ",
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_FALSE(hasPlatform());
    EXPECT_EQ(PosixFiles(UserFolders{}).read(paths.scenarioPath), "{\"version\": 1, \"displays\": 7}");
}

TEST_F(SimBackendTest, SaveFailureIsReported) {
    // A regular file where the scenario's folder should be.
    PosixFiles(UserFolders{}).writeAtomically(root + "/state", "");
    paths.scenarioPath = root + "/state/kestr/sim-desktop.json";
    SimBackend backend(paths);
    EXPECT_THROW(backend.save(), SimBackendError);
}

}  // namespace
}  // namespace kestr
