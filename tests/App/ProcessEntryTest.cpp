// The drag probe told to quit by signals that come while the program is still setting
// up: each ends it in order, with the simulated desktop saved.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "App/AppInfo.h"
#include "App/ProcessEntry.h"
#include "Support/CapturedOutput.h"
#include "Support/EnvironmentVariables.h"
#include "UI/Manager/AppVersionText.h"

namespace kestr {
namespace {

namespace fs = std::filesystem;

class ProcessEntryTest : public testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = fs::temp_directory_path().string() + "/kestr-entry-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        home = tmpl;
    }
    void TearDown() override { fs::remove_all(home); }

    // Runs --probe-drag in a child process that sends itself `signals` the first time
    // the program reads its environment, which it does before loading the desktop.
    // Gives the exit status, or 128 + the signal that ended it.
    int probeSignalledWhileStarting(const std::vector<int>& signals) const {
        const pid_t pid = ::fork();
        if (pid < 0) return -1;
        if (pid == 0) {
            ::alarm(60);  // a probe that never quits fails instead of hanging
            const auto variables = test::environmentOf({{"HOME", home}, {"KESTR_SIM_DESKTOP", desktop()}});
            bool sent = false;
            const auto environment = [&](const std::string& name) {
                if (!std::exchange(sent, true)) {
                    for (int signal : signals) ::kill(::getpid(), signal);
                }
                return variables(name);
            };
            CapturedOutput output;
            ::_exit(ProcessEntry::run({"kestr", "--probe-drag"}, environment, output));
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string desktop() const { return home + "/desktop.json"; }

    std::string home;
};

TEST_F(ProcessEntryTest, QuitSignalsBeforeTheProbeIsReadyEndItInOrder) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        EXPECT_EQ(probeSignalledWhileStarting({signal}), 0) << strsignal(signal);
        EXPECT_TRUE(fs::exists(desktop())) << strsignal(signal) << ": the desktop was saved";
        fs::remove(desktop());
    }
    // A second signal while quitting does not cut the save short.
    EXPECT_EQ(probeSignalledWhileStarting({SIGINT, SIGINT, SIGTERM, SIGHUP, SIGQUIT}), 0);
    EXPECT_TRUE(fs::exists(desktop()));
}

// The user interface shows the version the start-up hands down.
TEST_F(ProcessEntryTest, TheVersionIsHandedDownToTheUserInterface) {
    CapturedOutput output;
    const auto environment = test::environmentOf({{"HOME", home}, {"KESTR_SIM_DESKTOP", desktop()}});
    EXPECT_EQ(ProcessEntry::run({"kestr", "--dump-displays"}, environment, output), 0);
    EXPECT_EQ(appVersionText().toStdString(), "kestr " + AppInfo::version() + " (" + AppInfo::build() + ")");
}

}  // namespace
}  // namespace kestr
