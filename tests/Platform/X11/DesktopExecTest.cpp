// Desktop-file launches whose Exec line runs the program through one, two or three
// shells, or has a shell read a value again: the commands are run for real, with URLs
// that try to start a program of their own and ones that are plain text.
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Platform/X11/DesktopExec.h"

extern char** environ;

namespace kestr {
namespace {

namespace fs = std::filesystem;

class ShellNesting : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = fs::temp_directory_path().string() + "/kestr-exec-XXXXXX";
        ASSERT_TRUE(::mkdtemp(tmpl.data()));
        folder = tmpl;
        // `rec` writes each argument on a line of its own; `prog` is what an attack runs.
        script("rec", "for a in \"$@\"; do printf '%s\\n' \"$a\" >> " + folder + "/args; done");
        script("prog", "touch " + folder + "/pwned");
    }
    void TearDown() override { fs::remove_all(folder); }
    void script(const std::string& name, const std::string& body) {
        std::ofstream(folder + "/" + name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(folder + "/" + name, fs::perms::owner_all);
    }
    // Runs every command for the URL and waits for each; what went wrong, or "".
    std::string run(const std::string& exec, const std::string& url, std::size_t& withheld) {
        DesktopEntry entry;
        entry.path = "/apps/rec.desktop";
        entry.exec = exec;
        const auto planned = DesktopExec::commands(entry, {}, {url});
        if (!std::holds_alternative<DesktopExec::Commands>(planned)) return std::get<std::string>(planned);
        withheld = std::get<0>(planned).withheld.size();
        for (const DesktopExec::Command& command : std::get<0>(planned).commands) {
            std::vector<char*> argv;
            for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            pid_t pid = 0;
            if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return "no spawn";
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
        return "";
    }
    std::string arguments() {
        std::ostringstream text;
        text << std::ifstream(folder + "/args").rdbuf();
        fs::remove(folder + "/args");
        return text.str();
    }
    std::string folder;
};

// A field code alone as a word outside quotes takes any URL as one argument; one that a
// shell or interpreter would run takes none; anywhere else only plain text goes in.
TEST_F(ShellNesting, AURLReachesNoShellAsCommandsAtAnyDepthAndPlainTextArrivesWhole) {
    enum Takes { any, plain, none };
    struct Case {
        std::string exec;
        Takes takes;
        std::string arrives = "URL";  // what REC gets, URL standing for the harmless URL; "": nothing
    };
    const std::vector<Case> cases = {
        // A word of its own, for the line's parser alone or as a shell's argument.
        {"REC %u", any},
        {R"(sh -c 'REC "$1"' sh %u)", any},
        // In quotes, joined to text or a backslash.
        {R"(REC "%u")", plain},
        {"REC '%u'", plain},
        {"REC --url=%u", plain, "--url=URL"},
        {R"(REC a\ %u)", plain, "a URL"},
        // In the command of one, two or three shells.
        {R"(sh -c "REC %u")", plain},
        {"sh -c 'REC %u'", plain},
        {R"(sh -c REC\ %u)", plain},
        {R"(sh -c "REC '%u'")", plain},
        {R"(sh -c 'REC "%u"')", plain},
        {R"(sh -c "sh -c \"REC %u\"")", plain},
        {R"(sh -c "sh -c 'REC %u'")", plain},
        {R"(sh -c 'sh -c "REC %u"')", plain},
        {R"(sh -c "sh -c REC\\ %u")", plain},
        {R"(sh -c 'sh -c REC\ %u')", plain},
        // Where a shell reads a quoted word once more.
        {R"x(sh -c "echo \$((%u))")x", plain, ""},
        {R"(sh -c "eval REC %u")", plain},
        {R"(bash -c "REC \`dirname %f\`")", plain, "http://x"},
        {"sh -c \"REC $(cat <<E\n%u\nE\n)\"", plain},
        {R"x(bash -c "(( %u ))")x", plain, ""},
        {R"(bash -c "[[ %u -gt 0 ]]")", plain, ""},
        // The code a shell or interpreter runs.
        {"sh -c %u", none, ""},
        {"bash -c %f", none, ""},
        {"sh -ec %u", none, ""},
        {"bash -c -- %u", none, ""},
        {"env python3 -c %u", none, ""},
        // A list inside a word cannot give each item a word.
        {R"(sh -c "exec REC %U")", none, ""},
        {"REC --files=%F", none, "--files="},
    };
    const std::string prog = folder + "/prog";
    const std::vector<std::string> hostile = {
        "http://x/;" + prog + ";",
        "http://x/&" + prog + "&wait",
        "http://x/$(" + prog + ")",
        "http://x/`" + prog + "`",
        "x:'$(" + prog + ")'\"$(" + prog + ")\"",
        "http://x/\n" + prog + "\n",
        "a[$(" + prog + ")]",
        "file:///a%60;" + prog + ";%60",
        "http://x/é;" + prog,
        "http://x/\xff;" + prog,
        "http://x/a?b=1&c=2",
    };
    const std::vector<std::string> harmless = {"http://x/path", "http://x/café-1,2+3=4@5%20"};
    for (const Case& c : cases) {
        std::string exec = c.exec;
        if (const auto at = exec.find("REC"); at != std::string::npos) exec.replace(at, 3, folder + "/rec");
        for (const std::string& url : hostile) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(exec, url, withheld), "") << exec;
            EXPECT_FALSE(fs::remove(folder + "/pwned")) << exec << " with " << url;
            EXPECT_EQ(withheld, c.takes == any ? 0u : 1u) << exec << " with " << url;
            arguments();
        }
        for (const std::string& url : harmless) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(exec, url, withheld), "") << exec;
            EXPECT_EQ(withheld, c.takes == none ? 1u : 0u) << exec << " with " << url;
            std::string expected = c.arrives;
            if (const auto at = expected.find("URL"); at != std::string::npos) expected.replace(at, 3, url);
            EXPECT_EQ(arguments(), expected.empty() ? "" : expected + "\n") << exec << " with " << url;
        }
    }
}

}  // namespace
}  // namespace kestr
