// The real kestr program, run as a process against the simulated desktop kept in a
// scenario file: the command-line dispatch, apply by name, the sample kest file, and
// the desktop persisting from one run to the next.
#include <fcntl.h>
#include <QImage>
#include <signal.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace kestr {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct ProcessResult {
    int status = -1;  // the exit status; 128 + the signal number when killed
    std::string out;
    std::string err;
};

// A fresh temporary home folder, with the XDG folders and the simulated desktop's
// scenario file inside it, in which the real program runs.
class KestrHome {
public:
    KestrHome() {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/kestr-e2e-XXXXXX";
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary home");
        home_ = tmpl;
        scenarioPath = home_ + "/sim-desktop.json";
    }
    ~KestrHome() {
        std::error_code ignored;
        fs::remove_all(home_, ignored);
    }
    const std::string& home() const { return home_; }
    std::string kestFile() const { return home_ + "/data/kestr/layouts.json"; }
    // Runs kestr with the arguments (after the program path) and collects what it prints.
    // `watch` sees the process and its standard error so far each time more arrives.
    using Watch = std::function<void(pid_t pid, const std::string& err)>;
    ProcessResult run(const std::vector<std::string>& arguments, unsigned watchdogSeconds = 60,
                      const std::vector<std::string>& extraEnvironment = {}, const Watch& watch = {}) const;

    std::string scenarioPath;  // KESTR_SIM_DESKTOP; tests may point it elsewhere
    bool readerGone = false;   // its output and error go to pipes nobody reads any more
    std::string stdoutTo;      // a file its standard output goes to, else a pipe

private:
    std::string home_;
};

// A run that has not ended after `watchdogSeconds` is killed, so a hanging program
// fails its test instead of stalling the suite.
ProcessResult KestrHome::run(const std::vector<std::string>& arguments, unsigned watchdogSeconds,
                             const std::vector<std::string>& extraEnvironment, const Watch& watch) const {
    int pipes[2][2];
    if (::pipe2(pipes[0], O_CLOEXEC) != 0 || ::pipe2(pipes[1], O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> argv = {KESTR_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = {"HOME=" + home_, "XDG_DATA_HOME=" + home_ + "/data",
                                    "XDG_STATE_HOME=" + home_ + "/state", "XDG_RUNTIME_DIR=" + home_,
                                    "KESTR_SIM_DESKTOP=" + scenarioPath};
    // An extra variable takes the place of one set above.
    for (const std::string& extra : extraEnvironment) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.starts_with(name); });
        env.push_back(extra);
    }
    // The sanitizer settings of the test run apply to the program too.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    std::vector<char*> argp, envp;
    for (auto& a : argv) argp.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argp.push_back(nullptr);
    envp.push_back(nullptr);

    if (readerGone) {
        for (auto& p : pipes) {
            ::close(p[0]);
            p[0] = -1;
        }
    }
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);  // as a shell starts it
        ::dup2(pipes[0][1], 1);
        if (!stdoutTo.empty()) ::dup2(::open(stdoutTo.c_str(), O_WRONLY), 1);
        ::dup2(pipes[1][1], 2);
        if (::chdir(home_.c_str()) != 0) ::_exit(126);
        ::alarm(watchdogSeconds);  // survives exec
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipes[0][1]);
    ::close(pipes[1][1]);

    // Both pipes are read as data comes, so a full one cannot stall the program.
    ProcessResult result;
    pollfd fds[2] = {{pipes[0][0], POLLIN, 0}, {pipes[1][0], POLLIN, 0}};
    std::string* into[2] = {&result.out, &result.err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) throw std::runtime_error("poll failed");
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                into[i]->append(buffer, static_cast<std::size_t>(n));
                if (watch && i == 1) watch(pid, result.err);
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

const std::string dumpBanner = "================ kestr Window Dump ================\n";

// The first line of `text` that holds `part`; empty when none does.
std::string lineWith(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.find(part) != std::string::npos) return line;
    return "";
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(EndToEndTest, OptionsAreTestedInTheirFixedOrderAndUnusableOnesAreRefused) {
    KestrHome home;
    // No option as written (letter case, a joined value, a missing value) nor the help
    // starts the menu-bar application, where it could: one line or the help, at once.
    const std::vector<std::string> withDisplay = {"QT_QPA_PLATFORM=offscreen"};
    auto r = home.run({"--Dump-Displays", "--write-sample-layout=x.json", "--write-sample-layout"}, 20, withDisplay);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kestr: --write-sample-layout needs a PATH (see \"kestr --help\")\n");
    EXPECT_EQ(r.out, "");
    r = home.run({"--Dump-Displays"}, 20, withDisplay);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kestr: unknown option \"--Dump-Displays\" (see \"kestr --help\")\n");
    r = home.run({"--help"}, 20, withDisplay);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(startsWith(r.out, "Usage: kestr [OPTION]\n")) << r.out;
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(home.scenarioPath)) << "nothing ran, so the desktop was not even created";
    EXPECT_FALSE(fs::exists(home.home() + "/data")) << "nor did the menu-bar application start";

    // --dump is tested before --probe-min-size although written after it.
    r = home.run({"--probe-min-size", "--dump"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(startsWith(r.out, dumpBanner)) << r.out;
    EXPECT_TRUE(fs::exists(home.scenarioPath)) << "the desktop is kept after every mode";
    // A value is taken as given: --apply-kest looks for a kest named "--dump".
    r = home.run({"--probe-min-size", "--apply-kest", "--dump"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no kest named --dump\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(EndToEndTest, SampleIsWrittenOnceWithABackupOfTheFirst) {
    KestrHome home;
    const std::string path = home.home() + "/new/deeper/sample.json";  // the folders do not exist yet
    auto r = home.run({"--write-sample-layout", "new/deeper/sample.json", "--write-sample-layout", "second.json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote sample layout to " + path + "\n") << "only the first occurrence counts, shown absolute";
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(home.home() + "/second.json"));
    const json first = json::parse(readFile(path));

    r = home.run({"--write-sample-layout", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const json second = json::parse(readFile(path));
    EXPECT_EQ(json::parse(readFile(path + ".bak")), first);
    EXPECT_EQ(second["layouts"][0]["name"], "Coding (sample)");
    EXPECT_NE(second["layouts"][0]["id"], first["layouts"][0]["id"]);
}

TEST(EndToEndTest, AppliedWindowsStayMovedInTheNextRun) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    const auto before = home.run({"--dump"});
    ASSERT_EQ(before.status, 0) << before.err;
    auto r = home.run({"--apply-kest", "Coding (sample)"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "applied=2 skipped=0\n");
    const auto after = home.run({"--dump"});
    ASSERT_EQ(after.status, 0) << after.err;
    for (const std::string title : {"localhost:3000", "user — -zsh"}) {
        const std::string row = lineWith(before.out, title);
        ASSERT_FALSE(row.empty()) << title << " in\n" << before.out;
        EXPECT_NE(lineWith(after.out, title), row) << after.out;
    }
    EXPECT_EQ(lineWith(after.out, "Ghostty"), lineWith(before.out, "Ghostty")) << "not in the kest";

    r = home.run({"--apply-kest", "coding (sample)"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no kest named coding (sample)\n");
    EXPECT_EQ(r.out, "");
}

TEST(EndToEndTest, KestNamedWithAMillionCombiningMarksIsPassedOverQuickly) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    json file = json::parse(readFile(home.kestFile()));
    json hostile = file["layouts"][0];
    hostile["id"] = "0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3";
    // Marks of alternating classes: each must move past the other to reach its order.
    std::string name = "a";
    for (int i = 0; i < 500000; ++i) name += "\u0301\u0316";
    hostile["name"] = name;
    file["layouts"].insert(file["layouts"].begin(), hostile);
    writeFile(home.kestFile(), file.dump());

    const auto r = home.run({"--apply-kest", "Coding (sample)"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "applied=2 skipped=0\n");
}

// A kest file edited by hand may hold an expression that backtracks for ever on a
// window title; the apply gives up on it at once instead of stalling.
TEST(EndToEndTest, RunawayTitleExpressionCountsAsNoMatchAndIsLogged) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    json file = json::parse(readFile(home.kestFile()));
    file["layouts"][0]["items"][0]["windowMatcher"] = {{"type", "titleRegex"}, {"value", "(.*)*(.*)*(.*)*X"}};
    writeFile(home.kestFile(), file.dump());

    const auto r = home.run({"--apply-kest", "Coding (sample)"}, 20, {"KESTR_LOG_STDERR=1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(startsWith(r.out, "applied=")) << r.out;
    EXPECT_NE(r.err.find("kestr: titleRegex of Terminal took too long on a window title"), std::string::npos) << r.err;
}

// Output and log lines for a reader that went away (`kestr … | head -1`, a closed log
// pipe) are lost, and the run goes on to its end.
TEST(EndToEndTest, ARunWhoseOutputIsNoLongerReadEndsNormally) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    home.readerGone = true;
    EXPECT_EQ(home.run({"--apply-kest", "Coding (sample)"}, 20, {"KESTR_LOG_STDERR=1"}).status, 0);
    EXPECT_EQ(home.run({"--apply-kest", "No such kest"}, 20).status, 1);
}

// Every mode that prints fails, saying what failed, when its output cannot be written.
TEST(EndToEndTest, AModeWhoseOutputCannotBeWrittenFailsWithOneLine) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    home.stdoutTo = "/dev/full";
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--dump"},
                                               {"--help"},
                                               {"--apply-kest", "Coding (sample)"},
                                               {"--dump-displays"},
                                               {"--dump-content"},
                                               {"--probe-min-size"},
                                               {"--write-sample-layout", home.home() + "/sample.json"},
                                               {"--render-panel", home.home() + "/panel.png"}}) {
        const ProcessResult r = home.run(arguments, 60, {"QT_QPA_PLATFORM=offscreen"});
        EXPECT_EQ(r.status, 1) << arguments[0];
        const std::string line = "kestr: cannot write to standard output: No space left on device\n";
        EXPECT_TRUE(r.err.ends_with(line) && r.err.find(line) == r.err.size() - line.size())
            << arguments[0] << ": " << r.err;
    }
}

// The menu-bar application and the command line share one kest file. Processes that
// find it damaged at the same moment must not all recover it: one does, the others wait
// for it and read the file it rewrote from the backup.
TEST(EndToEndTest, ProcessesFindingADamagedFileTogetherAllApplyFromTheBackup) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);  // a good backup
    for (int attempt = 0; attempt < 10; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        writeFile(home.kestFile(), "{\"layouts\": [");
        auto apply = [&] { return home.run({"--apply-kest", "Coding (sample)"}, 20); };
        std::vector<std::future<ProcessResult>> runs;
        for (int n = 0; n < 4; ++n) runs.push_back(std::async(std::launch::async, apply));
        for (auto& run : runs) {
            const ProcessResult r = run.get();
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(startsWith(r.out, "applied=")) << r.out;
        }
        EXPECT_EQ(json::parse(readFile(home.kestFile()))["layouts"][0]["name"], "Coding (sample)");
    }
}

// How long this takes is measured in bench/scenario_bench; here, that nothing is lost.
TEST(EndToEndTest, LargeDesktopIsLoadedAndKeptWhole) {
    KestrHome home;
    // One application with 10,000 windows, and 3,000 applications with one each.
    int number = 100;
    const auto window = [&number] {
        return R"({"number":)" + std::to_string(number++) + R"(,"position":[0,0],"size":[9,9]})";
    };
    std::string processes = R"({"pid":600,"name":"Big","windows":[)" + window();
    for (int i = 1; i < 10000; ++i) processes += "," + window();
    processes += "]}";
    std::string applications;
    for (int i = 0; i < 3000; ++i) {
        const std::string id = "\"com.example.a" + std::to_string(i) + "\"";
        applications += std::string(i ? "," : "") + R"({"name":"A","bundleID":)" + id + "}";
        processes +=
            R"(,{"pid":)" + std::to_string(601 + i) + R"(,"bundleID":)" + id + R"(,"windows":[)" + window() + "]}";
    }
    writeFile(home.scenarioPath, R"({"version":1,"displays":[{"id":1,"bounds":[0,0,1920,1200]}],"applications":[)" +
                                     applications + R"(],"processes":[)" + processes + "]}");

    // The watchdog only stops a run that hangs; a loaded machine may take long.
    const auto r = home.run({"--dump-displays"}, 600);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(startsWith(r.out, "=== Displays")) << r.out;
    EXPECT_GT(fs::file_size(home.scenarioPath), 10'000'000u) << "every window kept";
    const json kept = json::parse(readFile(home.scenarioPath));
    ASSERT_EQ(kept["processes"].size(), 3001u);
    ASSERT_EQ(kept["processes"][0]["windows"].size(), 10000u);
    EXPECT_EQ(kept["processes"][0]["windows"][9999]["number"], 10099);
    EXPECT_EQ(kept["processes"][3000]["bundleID"], "com.example.a2999");
    EXPECT_EQ(kept["processes"][3000]["windows"][0]["number"], 13099);
}

TEST(EndToEndTest, DesktopThatCannotBeLoadedOrKeptIsAFailure) {
    KestrHome home;
    writeFile(home.scenarioPath, "{ not json");
    auto r = home.run({"--dump"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startsWith(r.err, "kestr: cannot load the simulated desktop from " + home.scenarioPath + ": "))
        << r.err;
    EXPECT_EQ(readFile(home.scenarioPath), "{ not json");

    writeFile(home.home() + "/blocker", "");
    home.scenarioPath = home.home() + "/blocker/sim-desktop.json";
    r = home.run({"--dump-displays"});
    EXPECT_EQ(r.status, 1) << "the mode ran, but its desktop was lost";
    EXPECT_TRUE(startsWith(r.out, "=== Displays")) << r.out;
    EXPECT_TRUE(startsWith(r.err, "kestr: cannot save the simulated desktop to " + home.scenarioPath + ": ")) << r.err;
}

// The height in points from "Wrote panel render to PATH (296xH)".
int renderHeight(const std::string& line) {
    const auto x = line.rfind("x");
    return x == std::string::npos ? -1 : std::atoi(line.c_str() + x + 1);
}

TEST(EndToEndTest, PanelRenderForEveryCombinationOfWords) {
    KestrHome home;
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    std::map<std::string, int> heights;
    for (int words = 0; words < 8; ++words) {
        std::vector<std::string> arguments = {"--render-panel", "panel.png"};
        std::string key;
        for (int bit = 0; bit < 3; ++bit) {
            if (!(words & (1 << bit))) continue;
            const char* word = bit == 0 ? "empty" : bit == 1 ? "snaps" : "untrusted";
            arguments.push_back(word);
            key += std::string(key.empty() ? "" : " ") + word;
        }
        fs::remove(home.home() + "/panel.png");
        const auto r = home.run(arguments);
        ASSERT_EQ(r.status, 0) << key << ": " << r.err;
        heights[key] = renderHeight(r.out);
        EXPECT_EQ(r.out, "Wrote panel render to panel.png (296x" + std::to_string(heights[key]) + ")\n") << key;
        const std::string png = readFile(home.home() + "/panel.png");
        EXPECT_EQ(png.substr(1, 3), "PNG") << key;
    }
    // The permission banner with its separator adds 46 + 8 + 1 + 8 points.
    EXPECT_EQ(heights["untrusted"], heights[""] + 63);
    EXPECT_EQ(heights["empty snaps untrusted"], heights["empty snaps"] + 63);
    // Snap cells do not depend on "empty"; the sample kest's row (83) differs from the
    // empty state, and the active sample kest adds its release row (36 + 1 + 6).
    EXPECT_EQ(heights["empty snaps"], heights["snaps"] - 43);
    EXPECT_NE(heights["empty"], heights[""]);
}

TEST(EndToEndTest, PanelRenderThatCannotBeWrittenFailsAndLeavesNoFile) {
    KestrHome home;
    const std::string missing = home.home() + "/no-such-folder/panel.png";
    auto r = home.run({"--render-panel", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startsWith(lineWith(r.err, "Failed"), "Failed to write panel render to " + missing + ": ")) << r.err;
    EXPECT_FALSE(fs::exists(fs::path(missing).parent_path()));

    // A folder in the way is not replaced, and nothing is left beside it.
    fs::create_directories(home.home() + "/taken.png");
    r = home.run({"--render-panel", "taken.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(startsWith(lineWith(r.err, "Failed"), "Failed to write panel render to taken.png: ")) << r.err;
    EXPECT_TRUE(fs::is_directory(home.home() + "/taken.png"));
    for (const auto& entry : fs::directory_iterator(home.home()))
        EXPECT_EQ(entry.path().filename().string().find("taken.png."), std::string::npos) << entry.path();
}

// A device or a named pipe given as the path stays what it is; a link is followed and
// stays a link; a private kest file stays private.
TEST(EndToEndTest, WritesReplaceOnlyRegularFilesAndFollowLinks) {
    KestrHome home;
    ASSERT_EQ(::mkfifo((home.home() + "/pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", home.home() + "/device");
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    for (const std::string target : {"pipe", "device"}) {
        const std::string path = home.home() + "/" + target;
        const std::vector<std::pair<std::vector<std::string>, std::string>> modes = {
            {{"--render-panel", path}, "Failed to write panel render to " + path},
            {{"--render-editor", path}, "Failed to write editor render to " + path},
            {{"--render-menubar-icons", path}, "Failed to write menu-bar icons to " + path},
            {{"--write-sample-layout", path}, "Failed to write sample"},
        };
        for (const auto& [arguments, failure] : modes) {
            const auto r = home.run(arguments);
            EXPECT_EQ(r.status, 1) << arguments[0];
            EXPECT_EQ(r.out, "") << arguments[0];
            EXPECT_EQ(lineWith(r.err, "Failed"), failure + ": cannot write " + path + ": not a regular file") << r.err;
        }
    }
    EXPECT_TRUE(fs::is_fifo(home.home() + "/pipe"));
    EXPECT_TRUE(fs::is_symlink(home.home() + "/device"));

    fs::create_directories(home.home() + "/dotfiles");
    fs::create_symlink(home.home() + "/dotfiles/panel.png", home.home() + "/panel.png");
    ASSERT_EQ(home.run({"--render-panel", "panel.png"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(home.home() + "/panel.png"));
    EXPECT_EQ(readFile(home.home() + "/dotfiles/panel.png").substr(1, 3), "PNG");

    fs::rename(home.kestFile(), home.home() + "/dotfiles/layouts.json");
    fs::permissions(home.home() + "/dotfiles/layouts.json", fs::perms(0600));
    fs::create_symlink(home.home() + "/dotfiles/layouts.json", home.kestFile());
    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    EXPECT_TRUE(fs::is_symlink(home.kestFile()));
    EXPECT_EQ(fs::status(home.home() + "/dotfiles/layouts.json").permissions(), fs::perms(0600));
    EXPECT_NE(readFile(home.home() + "/dotfiles/layouts.json").find("Coding (sample)"), std::string::npos);
}

TEST(EndToEndTest, EditorRenderNeedsAKestAndReportsWhereItWrote) {
    KestrHome home;
    auto r = home.run({"--render-editor", "editor.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineWith(r.err, "layouts"), "no layouts to render");
    EXPECT_FALSE(fs::exists(home.home() + "/editor.png"));

    ASSERT_EQ(home.run({"--write-sample-layout", home.kestFile()}).status, 0);
    r = home.run({"--render-editor", "editor.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote editor render to editor.png (752x600)\n");
    const QImage image(QString::fromStdString(home.home() + "/editor.png"));
    EXPECT_EQ(image.size(), QSize(1504, 1200)) << "drawn at twice its size in points";

    const std::string missing = home.home() + "/no-such-folder/editor.png";
    r = home.run({"--render-editor", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startsWith(lineWith(r.err, "Failed"), "Failed to write editor render to " + missing + ": ")) << r.err;
}

TEST(EndToEndTest, MenuBarIconSheetHoldsEveryVariantAndAFailedWriteLeavesNoFile) {
    KestrHome home;
    auto r = home.run({"--render-menubar-icons", "icons.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Wrote icons.png  idle=20x15pt conflict=20x15pt saved=20x15pt alert=20x15pt apply=20x15pt "
              "kest•active=15x15pt drag•pt=15x15pt drag•warn=15x15pt badge·conflict=15x15pt "
              "badge·permission=15x15pt\n");
    const std::string png = readFile(home.home() + "/icons.png");
    ASSERT_GT(png.size(), 24u);
    // The PNG header's width and height: 16 + 5 × (200 + 16) + 5 × (150 + 16) by 182.
    const auto be32 = [&](std::size_t at) {
        return (std::uint32_t(std::uint8_t(png[at])) << 24) | (std::uint32_t(std::uint8_t(png[at + 1])) << 16) |
               (std::uint32_t(std::uint8_t(png[at + 2])) << 8) | std::uint32_t(std::uint8_t(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 1926u);
    EXPECT_EQ(be32(20), 182u);

    const std::string missing = home.home() + "/no-such-folder/icons.png";
    r = home.run({"--render-menubar-icons", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(startsWith(lineWith(r.err, "Failed"), "Failed to write menu-bar icons to " + missing + ": ")) << r.err;
    EXPECT_FALSE(fs::exists(fs::path(missing).parent_path()));
}

TEST(EndToEndTest, MenuBarApplicationSeedsStaysUpAndQuitsInOrderOnTerminate) {
    KestrHome home;
    bool signalled = false;
    const auto r =
        home.run({}, 60, {"QT_QPA_PLATFORM=offscreen", "KESTR_LOG_STDERR=1"}, [&](pid_t pid, const std::string& err) {
            // Up: start-up has registered the shortcuts.
            if (!signalled && err.find("hotkeys registered") != std::string::npos) {
                signalled = true;
                ::kill(pid, SIGTERM);
            }
        });
    EXPECT_TRUE(signalled) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(home.home() + "/data/kestr/snaps.json"));
    EXPECT_EQ(json::parse(readFile(home.home() + "/data/kestr/snaps.json"))["bindings"].size(), 41u);
    EXPECT_TRUE(fs::exists(home.scenarioPath)) << "the desktop was saved";
    EXPECT_NE(r.err.find("kestr: this desktop has no system tray"), std::string::npos) << r.err;
}

// A start with only the earlier version's folder takes its kests over, and the next
// start finds them where they went.
TEST(EndToEndTest, MenuBarApplicationStartTakesOverTheEarlierVersionsFolder) {
    KestrHome home;
    const std::string earlier = home.home() + "/data/SpaceKest";
    ASSERT_EQ(home.run({"--write-sample-layout", earlier + "/layouts.json"}).status, 0);
    ASSERT_FALSE(fs::exists(home.home() + "/data/kestr"));
    const std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen", "KESTR_LOG_STDERR=1"};
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "first start" : "second start");
        bool up = false;
        const auto r = home.run({}, 60, environment, [&](pid_t pid, const std::string& err) {
            if (up || err.find("hotkeys registered") == std::string::npos) return;
            up = true;
            ::kill(pid, SIGTERM);
        });
        ASSERT_TRUE(up) << r.err;
        EXPECT_NE(r.err.find("1 kest(s) requested"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("kestr: migrated Application Support/SpaceKest → kestr") != std::string::npos, start == 0)
            << r.err;
    }
    EXPECT_FALSE(fs::exists(earlier));
    EXPECT_EQ(json::parse(readFile(home.kestFile()))["layouts"].at(0)["name"], "Coding (sample)");
}

// The lock is kept beside the data folder, so it is met however the folder's path is
// written, whichever links lead to it (the data folder itself one, made before or after
// the folder it names) and whatever runtime folder each start is given; two data folders
// run side by side. Where no lock can be taken safely, kestr does not start and says why.
TEST(EndToEndTest, SecondMenuBarApplicationOnOneDataFolderStopsAndTheFirstGoesOn) {
    KestrHome home;
    const auto up = [](const std::string& err) { return err.find("hotkeys registered") != std::string::npos; };
    // Starts the application and quits it once it is up; its standard error, empty when it never came up.
    const auto startAndQuit = [&](const std::vector<std::string>& environment) {
        bool started = false;
        const auto r = home.run({}, 60, environment, [&](pid_t pid, const std::string& err) {
            if (started || !up(err)) return;
            started = true;
            ::kill(pid, SIGTERM);
        });
        EXPECT_EQ(r.status, 0) << r.err;
        return started ? r.err : "";
    };
    const auto on = [&](const std::string& data, const std::string& runtime = "run") {
        fs::create_directories(home.home() + "/" + runtime);
        fs::permissions(home.home() + "/" + runtime, fs::perms::owner_all);
        return std::vector<std::string>{"QT_QPA_PLATFORM=offscreen", "KESTR_LOG_STDERR=1", "XDG_DATA_HOME=" + data,
                                        "XDG_RUNTIME_DIR=" + home.home() + "/" + runtime};
    };
    const std::string data = home.home() + "/data";
    fs::create_directories(data);
    fs::create_directory_symlink(data, home.home() + "/link");
    // A data folder whose own "kestr" folder links to the other's.
    fs::create_directories(data + "/kestr");
    fs::create_directories(home.home() + "/synced");
    fs::create_directory_symlink(data + "/kestr", home.home() + "/synced/kestr");
    // One whose "kestr" links to a folder that is made only later.
    const std::string later = home.home() + "/later";
    fs::create_directories(home.home() + "/early");
    fs::create_directory_symlink(later + "/kestr", home.home() + "/early/kestr");
    struct Case {
        std::vector<std::string> first, second;
        bool stops;
    };
    for (const Case& c :
         {Case{on(data), on(data), true}, Case{on(data), on(home.home() + "/link"), true},
          Case{on(data), on(data + "/."), true}, Case{on(data, "run1"), on(data, "run2"), true},
          Case{on(home.home() + "/synced"), on(data), true}, Case{on(home.home() + "/early"), on(later), true},
          Case{on(data), on(home.home() + "/other"), false}}) {
        SCOPED_TRACE(c.second[2] + " " + c.second[3]);
        std::optional<ProcessResult> second;
        const auto first = home.run({}, 60, c.first, [&](pid_t pid, const std::string& err) {
            if (second || !up(err)) return;
            second = c.stops ? home.run({}, 20, c.second) : ProcessResult{0, "", startAndQuit(c.second)};
            // Still running after the second start: a crash, then, must free the folder.
            ::kill(pid, SIGKILL);
        });
        ASSERT_TRUE(second) << first.err;
        if (c.stops) {
            EXPECT_EQ(second->status, 1);
            EXPECT_EQ(second->err, "kestr is already running\n");
        } else {
            EXPECT_TRUE(up(second->err));
        }
        EXPECT_EQ(first.status, 128 + SIGKILL) << first.err;
        EXPECT_TRUE(up(startAndQuit(c.first)));
    }

    const std::string linked = home.home() + "/linked";
    fs::create_directories(linked);
    fs::create_symlink(home.home() + "/elsewhere", linked + "/kestr.lock");
    for (const auto& [folder, why] :
         {std::pair<std::string, std::string>{"/proc/kestr-none", "cannot create folder /proc/kestr-none: "
                                                                  "No such file or directory"},
          {linked, "cannot lock " + linked + "/kestr.lock: it is a link"}}) {
        const auto r = home.run({}, 20, on(folder));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "kestr: cannot make sure no other kestr runs: " + why + "\n");
    }
    EXPECT_FALSE(fs::exists(home.home() + "/elsewhere"));
}

TEST(EndToEndTest, RunningApplicationTakesInAKestFileAnotherProcessWrote) {
    KestrHome home;
    bool written = false, reloaded = false;
    const auto r =
        home.run({}, 30, {"QT_QPA_PLATFORM=offscreen", "KESTR_LOG_STDERR=1"}, [&](pid_t pid, const std::string& err) {
            if (!written && err.find("0 kest(s) requested") != std::string::npos) {
                written = home.run({"--write-sample-layout", home.kestFile()}).status == 0;
            } else if (written && !reloaded && err.find("1 kest(s) requested") != std::string::npos) {
                // Its shortcut is registered: the kest is in the running application.
                reloaded = true;
                ::kill(pid, SIGTERM);
            }
        });
    EXPECT_TRUE(written && reloaded) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
}  // namespace kestr
