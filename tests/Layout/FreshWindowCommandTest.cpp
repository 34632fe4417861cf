// The command lines that open fresh windows where applications take no scripts: what a
// kest holds never reaches a program as an option, and a terminal gets its captured title.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Layout/FreshWindowCommand.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using Words = std::vector<std::string>;

class FreshWindowCommandTest : public test::SimTest {
protected:
    static LayoutItem item(const std::string& bundleID) {
        LayoutItem item;
        item.appBundleID = bundleID;
        return item;
    }
    static Words withShell(Words out, const std::string& folder) {
        for (const std::string& word : FreshWindowCommand::terminalCommand(folder, "")) out.push_back(word);
        return out;
    }
};

TEST_F(FreshWindowCommandTest, UrlsAndFoldersAreNeverReadAsOptions) {
    // The file managers end their options; a folder "-q" is a folder.
    LayoutItem thunar = item("thunar");
    thunar.finderPath = "-q";
    EXPECT_EQ(FreshWindowCommand::arguments(thunar), (Words{"--", "-q"}));
    LayoutItem nautilus = item("org.gnome.Nautilus");
    nautilus.openFolders = std::vector<Url>{*Url::parse("file:///tmp/a%20b")};
    EXPECT_EQ(FreshWindowCommand::arguments(nautilus), (Words{"--new-window", "--", "/tmp/a b"}));
    EXPECT_EQ(FreshWindowCommand::arguments(item("pcmanfm")), (Words{"--new-win"}));

    // The browsers take no "--": such tabs are left out, and said so once they would run.
    LayoutItem firefox = item("firefox-esr");
    firefox.browserTabs = Words{"https://example.com/-x", "--headless", "", "-P"};
    EXPECT_EQ(FreshWindowCommand::arguments(firefox), (Words{"--new-window", "https://example.com/-x"}));
    EXPECT_EQ(FreshWindowCommand::leftOut(firefox), (Words{"--headless", "-P"}));
    EXPECT_TRUE(sim->simLog().lines().empty());
    EXPECT_EQ(FreshWindowCommand::argumentsToRun(firefox), FreshWindowCommand::arguments(firefox));
    EXPECT_EQ(sim->simLog().lines(),
              (Words{"kestr[freshWindow]: left \"--headless\" out of the command line of firefox-esr: it would be "
                     "read as an option",
                     "kestr[freshWindow]: left \"-P\" out of the command line of firefox-esr: it would be read as an "
                     "option"}));
    LayoutItem chromium = item("chromium");
    chromium.browserURL = "--user-data-dir=/tmp/x";
    EXPECT_EQ(FreshWindowCommand::arguments(chromium), (Words{"--new-window"}));
}

TEST_F(FreshWindowCommandTest, ChromiumTakesEveryTabInTheNewWindowFirefoxTheFirstWithTheRestAfter) {
    LayoutItem chromium = item("chromium");
    chromium.browserTabs = Words{"a:1", "-x", "b:2", "c:3"};
    EXPECT_EQ(FreshWindowCommand::arguments(chromium), (Words{"--new-window", "a:1", "b:2", "c:3"}));
    EXPECT_TRUE(FreshWindowCommand::laterTabs(chromium).empty());
    LayoutItem firefox = chromium;
    firefox.appBundleID = "firefox";
    EXPECT_EQ(FreshWindowCommand::arguments(firefox), (Words{"--new-window", "a:1"}));
    EXPECT_EQ(FreshWindowCommand::laterTabs(firefox), (Words{"--new-tab", "b:2", "--new-tab", "c:3"}));
}

TEST_F(FreshWindowCommandTest, TerminalsOpenOneWindowInTheFolderUnderTheCapturedTitle) {
    LayoutItem xfce = item("xfce4-terminal");
    xfce.openFolders = std::vector<Url>{*Url::parse("file:///srv/-x")};
    xfce.capturedWindowTitle = "-x vim";
    // A kept launch option that nothing acts on: a kest file from elsewhere runs nothing.
    xfce.runShellCommand = "touch ~/ran";
    // No "--window": on a first start it adds a window beside the one the terminal opens.
    EXPECT_EQ(FreshWindowCommand::arguments(xfce), withShell({"--title=-x vim", "-x"}, "/srv/-x"));
    LayoutItem xterm = xfce;
    xterm.appBundleID = "debian-xterm";
    EXPECT_EQ(FreshWindowCommand::arguments(xterm), withShell({"-T", "-x vim", "-e"}, "/srv/-x"));
    LayoutItem gnome = xfce;
    gnome.appBundleID = "org.gnome.Terminal";
    EXPECT_EQ(FreshWindowCommand::arguments(gnome), withShell({"--window", "--title=-x vim", "--"}, "/srv/-x"));
    // Konsole takes no title; without folder and command a title alone.
    LayoutItem konsole = xfce;
    konsole.appBundleID = "org.kde.konsole";
    EXPECT_EQ(FreshWindowCommand::arguments(konsole), withShell({"-e"}, "/srv/-x"));
    xterm.openFolders.reset();
    EXPECT_EQ(FreshWindowCommand::arguments(xterm), (Words{"-T", "-x vim"}));
}

// A Ctrl-C reaches the whole foreground group: the command stops, the window's shell stays.
TEST(TerminalCommandTest, AnInterruptedCommandLeavesTheShell) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        dup2(out[1], 1);
        std::vector<std::string> words = FreshWindowCommand::terminalCommand("/", "kill -INT 0");
        words.push_back("");
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.back() = nullptr;
        char shell[] = "SHELL=/bin/pwd";
        char* environment[] = {shell, nullptr};
        execve("/bin/sh", argv.data(), environment);
        _exit(127);
    }
    close(out[1]);
    char buffer[64] = {};
    const ssize_t n = read(out[0], buffer, sizeof buffer - 1);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(std::string(buffer, n > 0 ? n : 0), "/\n");
}

}  // namespace
}  // namespace kestr
