// Where the program's simulated desktop keeps its files, and the desktop kept from one
// run to the next.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "App/SimBackend.h"
#include "Platform/Platform.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/EnvironmentVariables.h"

namespace kestr {
namespace {

SimBackendPaths pathsFor(std::map<std::string, std::string> variables) {
    const auto environment = test::environmentOf(std::move(variables));
    return SimBackendPaths::fromEnvironment(UserEnvironment::read(environment), environment);
}

TEST(SimBackendPathsTest, TheScenarioFileFollowsTheEnvironment) {
    auto paths = pathsFor(
        {{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "/data"}, {"KESTR_SIM_DESKTOP", ""}, {"KESTR_LOG_STDERR", "1"}});
    EXPECT_EQ(paths.folders.applicationSupport, "/data");
    EXPECT_TRUE(paths.logToStderr);
    EXPECT_EQ(paths.scenarioPath, "/home/kim/.local/state/kestr/sim-desktop.json") << "an empty choice is ignored";
    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_STATE_HOME", "/state"}});
    EXPECT_EQ(paths.scenarioPath, "/state/kestr/sim-desktop.json");
    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_STATE_HOME", "/state"}, {"KESTR_SIM_DESKTOP", "desk.json"}});
    EXPECT_EQ(paths.scenarioPath, "desk.json") << "an explicit scenario file wins";
}

TEST(SimBackendTest, TheDesktopIsKeptBetweenRunsAndLogsToStandardErrorWhenAsked) {
    std::string root = (std::filesystem::temp_directory_path() / "kestr-backend-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    SimBackendPaths paths = pathsFor({{"HOME", root}});
    paths.logToStderr = true;
    {
        SimBackend first(paths);
        EXPECT_EQ(&platform(), &first.desktop()) << "installed while it lives";
        SimWorld& world = first.desktop().world();
        SimProcess& process = *world.process(world.processes().front().pid);
        ASSERT_FALSE(process.windows.empty()) << "the built-in desktop has windows";
        process.windows.front().position = Point{333, 444};
        ::testing::internal::CaptureStderr();
        platform().log().line("kestr: a line for the system log");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "kestr: a line for the system log\n");
        EXPECT_EQ(first.desktop().simLog().lines().back(), "kestr: a line for the system log");
        first.save();
    }
    EXPECT_FALSE(hasPlatform());
    // What a save that was cut short before this process left beside the desktop goes.
    const std::filesystem::path leftover =
        std::filesystem::path(paths.scenarioPath).parent_path() / ".sim-desktop.json.tmp-q1W2e3";
    std::ofstream(leftover) << "{";
    std::filesystem::last_write_time(leftover, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    {
        SimBackend second(paths);
        EXPECT_EQ(second.desktop().world().processes().front().windows.front().position, (Point{333, 444}));
        EXPECT_FALSE(std::filesystem::exists(leftover));
    }
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace kestr
