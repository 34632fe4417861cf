// Desktop-file launches whose Exec line runs the program through one, two or three
// shells or an interpreter, or has a shell read a value again: the commands each form
// starts, and the commands run for real, with values that try to start a program of
// their own and ones that are harmless.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Platform/X11/DesktopEntries.h"
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
        entry.name = url;  // %c tries it too
        entry.exec = exec;
        return run(entry, url, withheld);
    }
    std::string run(const DesktopEntry& entry, const std::string& url, std::size_t& withheld) {
        const auto planned = DesktopExec::commands(entry, {}, {url});
        if (!std::holds_alternative<DesktopExec::Commands>(planned)) return std::get<std::string>(planned);
        withheld = std::get<0>(planned).withheld.size();
        for (const DesktopExec::Command& command : std::get<0>(planned).commands) {
            std::vector<char*> argv;
            for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            // No input or output: a shell that reads its commands there reads none.
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
            pid_t pid = 0;
            const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0) return "no spawn";
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

// A field code that is a word of its own, in quotes or not, takes any URL as one
// argument; one joined to other text only plain text; one in a shell's command at any
// depth, or in what a shell reads again, takes none.
TEST_F(ShellNesting, AURLReachesNoShellAsCommandsAtAnyDepthAndPlainTextArrivesWhole) {
    enum Takes { any, plain, none };
    struct Case {
        std::string exec;
        Takes takes;
        std::string arrives = "URL\n";  // what REC writes, URL standing for the harmless URL
    };
    const std::vector<Case> cases = {
        // A word of its own, for the line's parser alone or as a shell's argument.
        {"REC %u", any},
        {R"(sh -c 'REC "$1"' sh %u)", any},
        {R"(REC "%u")", any},
        {"REC '%u'", any},
        // Joined to text or a backslash.
        {"REC --url=%u", plain, "--url=URL\n"},
        {R"(REC a\ %u)", plain, "a URL\n"},
        // In the command of one, two or three shells.
        {R"(sh -c "REC %u")", none, ""},
        {"sh -c 'REC %u'", none, ""},
        {R"(sh -c REC\ %u)", none, ""},
        {R"(sh -c "REC '%u'")", none, "\n"},
        {R"(sh -c 'REC "%u"')", none, "\n"},
        {R"(sh -c "sh -c \"REC %u\"")", none, ""},
        {R"(sh -c "sh -c 'REC %u'")", none, ""},
        {R"(sh -c 'sh -c "REC %u"')", none, ""},
        {R"(sh -c "sh -c REC\\ %u")", none, ""},
        {R"(sh -c 'sh -c REC\ %u')", none, ""},
        {R"(sh -c "sh -c \"sh -c '%f'\"")", none, ""},
        {"sh -c echo\\ #\n%u", none, ""},
        // Where a shell reads a quoted word once more.
        {R"x(sh -c "echo \$((%u))")x", none, ""},
        {R"(sh -c "eval REC %u")", none, ""},
        {R"(bash -c "REC \`dirname %f\`")", none, ""},
        {"sh -c \"REC $(cat <<E\n%u\nE\n)\"", none, ""},
        {R"x(bash -c "(( %u ))")x", none, ""},
        {R"(bash -c "[[ %u -gt 0 ]]")", none, ""},
        // The code a shell or interpreter runs.
        {"sh -c %u", none, ""},
        {"bash -c %f", none, ""},
        {R"(sh -c "%f")", none, ""},
        {"sh -ec %u", none, ""},
        {"bash -c -- %u", none, ""},
        {"env python3 -c %u", none, ""},
        {"env -S 'sh -c' %u", none, ""},
        {"env -S 'sh -c' %u %u", none, ""},
        {"env A=1 %f", none, ""},
        // Where what gives nothing would hide the program or its code.
        {"sh%d -c %u", none, ""},
        {"bash %d-c %u", none, ""},
        {"sh%U -c %u", none, ""},
        {"sh %u-c %U", none, ""},
        {"bas%Uh -xc %U", none, ""},
        {"env %Ush -c -- %c", none, ""},
        // A list inside a word cannot give each item a word.
        {R"(sh -c "exec REC %U")", none, ""},
        {"REC --files=%F", none, "--files=\n"},
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
        prog,
    };
    const std::vector<std::string> harmless = {"http://x/path", "http://x/café-1,2+3=4@5%20"};
    for (const Case& c : cases) {
        std::string exec = c.exec;
        if (const auto at = exec.find("REC"); at != std::string::npos) exec.replace(at, 3, folder + "/rec");
        for (const std::string& url : hostile) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(exec, url, withheld), "") << exec;
            EXPECT_FALSE(fs::remove(folder + "/pwned")) << exec << " with " << url;
            // A plain path is plain text, and still no command. (A value withheld as a
            // URL and as a path, or from two words, is told once for each.)
            EXPECT_EQ(withheld > 0, c.takes == none || (c.takes == plain && url != prog)) << exec << " with " << url;
            arguments();
        }
        for (const std::string& url : harmless) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(exec, url, withheld), "") << exec;
            EXPECT_EQ(withheld > 0, c.takes == none) << exec << " with " << url;
            std::string expected = c.arrives;
            if (const auto at = expected.find("URL"); at != std::string::npos) expected.replace(at, 3, url);
            EXPECT_EQ(arguments(), expected) << exec << " with " << url;
        }
    }
}

// Desktop files written as they stand on disk, read as GLib reads them and launched: a
// value is $1 or nothing, never the shell's code, though GLib's parser joins the word
// after an escaped blank, a "#" and the file's own `\n` to that code.
TEST_F(ShellNesting, ADesktopFilesShellGetsAValueAsItsArgumentAndNeverAsItsCode) {
    const std::string rec = folder + "/rec";
    const std::string hostile = "x:$(" + folder + "/prog)";
    const std::string url = "http://x/a?b=1";
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"sh -c '" + rec + " \"$1\"' sh %u", hostile + "\n" + url + "\n"},
        {"sh -c " + rec + "\\\\ #\\n%u", ""},
        {rec + " a\\ %u", "a \na \n"},
        {rec + "\\s%u", hostile + "\n" + url + "\n"},
    };
    for (const auto& [line, arrives] : lines) {
        std::ofstream(folder + "/app.desktop") << "[Desktop Entry]\nType=Application\nExec=" << line << "\n";
        const auto entry = DesktopEntries::read(folder + "/app.desktop");
        ASSERT_TRUE(entry) << line;
        for (const std::string& value : {hostile, url}) {
            std::size_t withheld = 0;
            ASSERT_EQ(run(*entry, value, withheld), "") << line;
        }
        EXPECT_FALSE(fs::remove(folder + "/pwned")) << line;
        EXPECT_EQ(arguments(), arrives) << line;
    }
}

// Lines put together at random from what shells and desktop files make much of, with
// field codes that may give nothing put anywhere, run with values that are commands:
// each line is refused or runs, and never runs a value.
TEST_F(ShellNesting, RandomLinesNeverRunAValue) {
    const std::vector<std::string> programs = {"sh -c ", "bash -xc ", "env -S 'sh -c' ", "env sh -c -- ", "perl -e ",
                                               "x "};
    const std::vector<std::string> parts = {"x", " ", "\n", "\t", "'", "\"", "\\", "\\ ", "#", "$", "%u", "%f", "%%"};
    const std::vector<std::string> nothing = {"%d", "%D", "%m", "%U", "%F", "%i", "%c"};
    const std::string prog = folder + "/prog";
    const std::vector<std::string> values = {prog, "x;" + prog + ";x", "x:$(" + prog + ")", "x:`" + prog + "`"};
    std::mt19937 random(39);
    for (int n = 0; n < 4000; ++n) {
        std::string exec = programs[random() % programs.size()];
        for (auto k = random() % 8; k-- > 0;) exec += parts[random() % parts.size()];
        for (auto k = random() % 3; k-- > 0;) exec.insert(random() % (exec.size() + 1), nothing[random() % nothing.size()]);
        std::size_t withheld = 0;
        const std::string outcome = run(exec, values[n % values.size()], withheld);
        EXPECT_FALSE(fs::remove(folder + "/pwned")) << exec << " (" << outcome << ")";
    }
}

// Each form against hostile and harmless values: the command it starts, V standing for
// the value where it arrives. A value goes in only as a word of its own, or joined to
// text as plain text, never into the code a program runs nor as the program.
TEST(DesktopExecTest, AValueIsAWordOfItsOwnOrPlainTextNeverCodeWhateverTheProgram) {
    using Command = DesktopExec::Command;
    std::vector<std::pair<std::string, Command>> cases = {
        {"browser %u", {"browser", "V"}},
        {R"(sh -c 'xdg-open "$1"' sh %u)", {"sh", "-c", R"(xdg-open "$1")", "sh", "V"}},
        {R"(busybox sh -c 'exec app "$1"' sh %u)", {"busybox", "sh", "-c", R"(exec app "$1")", "sh", "V"}},
        {"python3 /usr/bin/app.py --file %f", {"python3", "/usr/bin/app.py", "--file", "V"}},
        {"env A=1 app '%u'", {"env", "A=1", "app", "V"}},
        {"app --file=%f", {"app", "--file=V"}},
        {"sh -c echo\\ #\n%u", {"sh", "-c", "echo "}},
        {R"(sh -c "app '%f'")", {"sh", "-c", "app ''"}},
        {R"(sh -c "sh -c \"sh -c '%f'\"")", {"sh", "-c", R"(sh -c "sh -c ''")"}},
        {"env -S 'sh -c' %u", {"env", "-S", "sh -c"}},
        {"bash -O extglob -c %u", {"bash", "-O", "extglob", "-c"}},
        {"xterm -e sh -c %u", {"xterm", "-e", "sh", "-c"}},
        {"awk %f", {"awk"}},
        {"env %u", {"env"}},
    };
    for (const char* form : {"sh -c", "sh -c --", "perl -E", "node -p", "node --eval", "nodejs -e", "busybox ash -c",
                             "rbash -c", "tcsh -c", "mksh -c", "zsh-5.9 -c", "pypy3 -c", "python3.11 -c", "lua -e",
                             "luajit-2.1 -e", "php -r", "ruby -e"}) {
        Command command;
        std::istringstream words(form);
        for (std::string word; words >> word;) command.push_back(word);
        cases.push_back({std::string(form) + " %u", command});
    }
    struct Value {
        std::string text;
        bool plain;
    };
    const std::vector<Value> values = {
        {"$(touch /tmp/x)", false}, {"; touch x", false}, {"`touch x`", false},      {"x\ntouch x", false},
        {"x'\"y", false},           {"/tmp/x.sh", true},  {"http://x/a?b=1", false}, {"/tmp/a b/c.txt", false},
    };
    DesktopEntry entry;
    entry.path = "/apps/app.desktop";
    for (const auto& [exec, command] : cases) {
        entry.exec = exec;
        const bool path = exec.find("%f") != std::string::npos;
        for (const Value& value : values) {
            const std::string v = path ? DesktopExec::asPath(value.text) : DesktopExec::asURL(value.text);
            Command expected;
            bool arrives = false;
            for (std::string word : command) {
                if (const auto at = word.find('V'); at != std::string::npos) {
                    arrives = word == "V" || value.plain;
                    word.replace(at, 1, arrives ? v : "");
                }
                expected.push_back(word);
            }
            const auto out = std::get<DesktopExec::Commands>(DesktopExec::commands(entry, {}, {value.text}));
            EXPECT_EQ(out.commands, std::vector<Command>{expected}) << exec << " with " << value.text;
            EXPECT_EQ(out.withheld.size(), arrives ? 0u : 1u) << exec << " with " << value.text;
        }
    }
}

// A field code that gives nothing, with no value or with its value withheld, is left
// out, as other launchers leave it out; in code it stays an empty word only where a
// word holding a value follows, which would otherwise move into the place of the code.
TEST(DesktopExecTest, AFieldCodeThatGivesNothingLeavesNoWordUnlessAValueWouldMoveIntoCode) {
    struct Case {
        std::string exec;
        std::vector<std::string> items, arguments;
        std::string command;  // the words, each in brackets, or why there is none
    };
    const std::vector<Case> cases = {
        {"awk -f prog.awk %f", {}, {}, "[awk][-f][prog.awk]"},
        {"java -jar /opt/x.jar %f", {}, {}, "[java][-jar][/opt/x.jar]"},
        {"python3 -m mod %U", {"http://x/a"}, {}, "[python3][-m][mod]"},
        {"sh -c %u", {}, {"touch x"}, "[sh][-c]"},
        {"app %u%f --x %d", {}, {}, "[app][--x]"},
        {"bash -c %u %f %f", {"/tmp/x"}, {}, "[bash][-c][][][/tmp/x]"},
        {"sh -c %i %i %f", {"/tmp/x"}, {}, "[sh][-c][][][/tmp/x]"},
        {"python3 -c %c %i", {}, {"x"}, "[python3][-c][][][x]"},
        {"%u -c", {"http://x/a"}, {}, "the Exec line of /apps/app.desktop names no program"},
    };
    DesktopEntry entry;
    entry.path = "/apps/app.desktop";
    for (const Case& c : cases) {
        entry.exec = c.exec;
        const auto out = DesktopExec::commands(entry, c.arguments, c.items);
        std::string shown = std::holds_alternative<std::string>(out) ? std::get<std::string>(out) : "";
        if (shown.empty())
            for (const std::string& word : std::get<0>(out).commands.at(0)) shown += "[" + word + "]";
        EXPECT_EQ(shown, c.command) << c.exec;
    }
}

}  // namespace
}  // namespace kestr
