// Desktop-file launches whose Exec line runs the program through one, two or three
// shells: the commands are run for real, with a URL that tries to start a program of
// its own and one that is plain text.
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

TEST_F(ShellNesting, AURLReachesNoShellAsCommandsAtAnyDepthAndPlainTextArrivesWhole) {
    struct Case {
        std::string exec;
        bool hostileWithheld;
        bool harmlessArrives = true;
    };
    const std::vector<Case> cases = {
        // One shell: the line's own parser.
        {"REC %u", false},
        {R"(REC "%u")", false},
        {"REC '%u'", false},
        // Two.
        {R"(sh -c "REC %u")", false},
        {"sh -c 'REC %u'", false},
        {R"(sh -c REC\ %u)", false},
        {R"(sh -c "REC '%u'")", true},
        {R"(sh -c 'REC "%u"')", true},
        // Three.
        {R"(sh -c "sh -c \"REC %u\"")", true},
        {R"(sh -c "sh -c 'REC %u'")", true},
        {R"(sh -c 'sh -c "REC %u"')", true},
        {R"(sh -c "sh -c REC\\ %u")", true},
        {R"(sh -c 'sh -c REC\ %u')", true},
        // A list inside a word cannot give each item a word.
        {R"(sh -c "exec REC %U")", true, false},
    };
    const std::string prog = folder + "/prog";
    for (const Case& c : cases) {
        std::string exec = c.exec;
        exec.replace(exec.find("REC"), 3, folder + "/rec");
        for (const std::string& hostile : {"http://x/;" + prog + ";", "http://x/&" + prog + "&wait"}) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(exec, hostile, withheld), "") << exec;
            EXPECT_FALSE(fs::exists(folder + "/pwned")) << exec << " with " << hostile;
            EXPECT_EQ(withheld, c.hostileWithheld ? 1u : 0u) << exec << " with " << hostile;
            arguments();
        }
        std::size_t withheld = 0;
        ASSERT_EQ(run(exec, "http://x/path", withheld), "") << exec;
        EXPECT_EQ(arguments(), c.harmlessArrives ? "http://x/path\n" : "") << exec;
        EXPECT_EQ(withheld, c.harmlessArrives ? 0u : 1u) << exec;
    }
}

}  // namespace
}  // namespace kestr
