// The folders and log choice a process takes from its environment variables.
#include "Platform/Posix/UserEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "Support/EnvironmentVariables.h"

namespace kestr {
namespace {

UserEnvironment read(std::map<std::string, std::string> variables) {
    return UserEnvironment::read(test::environmentOf(std::move(variables)));
}

TEST(UserEnvironmentTest, FoldersFollowTheXdgRulesAndHomeIsRequired) {
    auto environment =
        read({{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", ""}, {"KESTR_LOG_STDERR", "yes"}});
    EXPECT_EQ(environment.folders.home, "/home/kim");
    EXPECT_EQ(environment.folders.desktop, "/home/kim") << "no user-dirs.dirs names one";
    EXPECT_EQ(environment.configHome, "/home/kim/.config");
    EXPECT_EQ(environment.folders.applicationSupport, "/home/kim/.local/share") << "a relative base is ignored";
    EXPECT_EQ(environment.stateHome, "/home/kim/.local/state") << "so is an empty one";
    EXPECT_FALSE(environment.logToStderr);

    environment = read(
        {{"HOME", "/home/kim"}, {"XDG_DATA_HOME", "/data"}, {"XDG_STATE_HOME", "/state"}, {"KESTR_LOG_STDERR", "1"}});
    EXPECT_EQ(environment.folders.applicationSupport, "/data");
    EXPECT_EQ(environment.stateHome, "/state");
    EXPECT_TRUE(environment.logToStderr);

    for (const auto& variables : std::vector<std::map<std::string, std::string>>{{}, {{"HOME", "kim"}}}) {
        try {
            read(variables);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(variables);
        } catch (const UserEnvironmentError& e) {
            EXPECT_STREQ(e.what(), "kestr: HOME must be set to an absolute path");
        }
    }
}

TEST(UserEnvironmentTest, TheDesktopFolderIsTheOneXdgUserDirsNames) {
    char pattern[] = "/tmp/kestr-user-dirs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string config = pattern;
    std::ofstream(config + "/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    EXPECT_EQ(read({{"HOME", "/home/kim"}, {"XDG_CONFIG_HOME", config}}).folders.desktop, "/home/kim/Schreibtisch");
    std::filesystem::remove_all(config);

    const auto desktop = [](const std::string& text) { return UserEnvironment::desktopInUserDirs(text, "/home/kim"); };
    EXPECT_EQ(desktop("XDG_DESKTOP_DIR=\"/data/My \\\"Desk\\\"/\"\n"), "/data/My \"Desk\"");
    EXPECT_EQ(desktop("  XDG_DESKTOP_DIR=\"$HOME/\""), "/home/kim") << "the home folder itself";
    EXPECT_EQ(desktop("XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n#XDG_DESKTOP_DIR=\"$HOME/Old\""), std::nullopt);
    EXPECT_EQ(desktop("XDG_DESKTOP_DIR=\"Desktop\""), std::nullopt) << "neither $HOME/ nor absolute";
    EXPECT_EQ(desktop("XDG_DESKTOP_DIR=\"$HOME/Unclosed"), std::nullopt);
}

}  // namespace
}  // namespace kestr
