// Where the program's simulated desktop keeps its files, and the desktop kept from one
// run to the next.
#include <gtest/gtest.h>

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
    auto paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", ""},
                           {"KESTR_SIM_DESKTOP", ""}, {"KESTR_LOG_STDERR", "yes"}});
    EXPECT_EQ(paths.folders.applicationSupport, "/home/kim/.local/share") << "a relative base is ignored";
    EXPECT_EQ(paths.scenarioPath, "/home/kim/.local/state/kestr/sim-desktop.json") << "so is an empty one";
    EXPECT_FALSE(paths.logToStderr);

    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "/data"}, {"XDG_STATE_HOME", "/state"},
                      {"KESTR_LOG_STDERR", "1"}});
    EXPECT_EQ(paths.folders.applicationSupport, "/data");
    EXPECT_EQ(paths.scenarioPath, "/state/kestr/sim-desktop.json");
    EXPECT_TRUE(paths.logToStderr);
    paths = pathsFor({{"HOME", "/home/kim"}, {"XDG_STATE_HOME", "/state"}, {"KESTR_SIM_DESKTOP", "desk.json"}});
    EXPECT_EQ(paths.scenarioPath, "desk.json") << "an explicit scenario file wins";

    for (const auto& variables : std::vector<std::map<std::string, std::string>>{{}, {{"HOME", "kim"}}}) {
        try {
            pathsFor(variables);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(variables);
        } catch (const SimBackendError& e) {
            EXPECT_STREQ(e.what(), "kestr: HOME must be set to an absolute path");
        }
    }
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
