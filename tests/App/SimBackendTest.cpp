// Where the program's simulated desktop keeps its files, and the desktop kept from one
// run to the next.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "App/SimBackend.h"
#include "Platform/Platform.h"
#include "Platform/Sim/SimDesktop.h"
#include "Support/EnvironmentVariables.h"

namespace kestr {
namespace {

SimBackendPaths pathsFor(std::map<std::string, std::string> variables) {
    return SimBackendPaths::fromEnvironment(test::environmentOf(std::move(variables)));
}

TEST(SimBackendPathsTest, TheScenarioFileFollowsTheEnvironment) {
    auto paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "/data"}, {"KESTR_SIM_DESKTOP", ""},
                           {"KESTR_LOG_STDERR", "1"}});
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
    {
        SimBackend second(paths);
        EXPECT_EQ(second.desktop().world().processes().front().windows.front().position, (Point{333, 444}));
    }
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace kestr
