// Applications launched from desktop files on the X11 desktop: a missing one started and
// its window placed, one that never shows a window, desktop files that cannot be
// launched, icons from the theme and from the window, and a polite terminate.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Layout/AppLauncher.h"
#include "Layout/LayoutApplier.h"
#include "Platform/X11/DesktopExec.h"
#include "Support/ItemBuilder.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

using Mode = LayoutApplier::ApplyMode;

class X11LaunchTest : public BackendTest {
protected:
    std::string mainUUID() { return x11().displays().displayUUIDString(x11().displays().mainDisplayID()).value_or(""); }
    LayoutApplier::ApplyReport apply(std::vector<LayoutItem> items, Mode mode = Mode::restoreMissing) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Launch";
        kest.items = std::move(items);
        auto applied =
            run(LayoutApplier::apply(std::move(kest), mode, LayoutApplier::FrameSource::target, std::nullopt), 30);
        EXPECT_TRUE(applied.succeeded());
        return applied.succeeded() ? applied.value() : LayoutApplier::ApplyReport{};
    }
    // The launcher's error text for the application, or "" when it ran.
    std::string launchError(const std::string& id, double timeout = 5) {
        auto launched = run(AppLauncher::ensureRunning(id, true, timeout, 0.1), timeout + 20);
        try {
            launched.rethrow();
        } catch (const AppLauncher::LaunchError& e) {
            return e.what();
        }
        return "";
    }
    std::optional<xcb_window_t> windowOfClass(const std::string& wmClass) {
        for (xcb_window_t w : x11().model().stacking()) {
            const X11Client* c = x11().model().client(w);
            if (c && c->wmClass == wmClass && c->mapped) return w;
        }
        return std::nullopt;
    }
};

TEST_F(X11LaunchTest, AMissingApplicationStartsFromItsDesktopFileAndItsWindowIsPlaced) {
    writeDesktopEntry("kestr-launched",
                      "Name=Launched\nExec=" + clientProgram() + " --detached --class KestrLaunched --title launched");
    ASSERT_FALSE(windowOfClass("KestrLaunched"));
    const auto report =
        apply({test::ItemBuilder("kestr-launched", "Launched").on(mainUUID(), Rect(120, 80, 640, 420))});
    EXPECT_EQ(report.applied, 1);
    EXPECT_TRUE(report.skipped.empty());
    const auto w = windowOfClass("KestrLaunched");
    ASSERT_TRUE(w);
    EXPECT_TRUE(settle([&] { return x11().model().client(*w)->frame() == Rect(120, 80, 640, 420); }));
    // The launch left its desktop file in the process, which names the application.
    const auto apps = x11().workspace().runningApplications("kestr-launched");
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps.front().localizedName, "Launched");
}

// While the launch waits, a window of the application's class that another process opens
// is not the launched one.
TEST_F(X11LaunchTest, TheLaunchedProcesssWindowIsPlacedNotOneOfItsClassFromAnotherProcess) {
    writeDesktopEntry("kestr-own", "Name=Own\nStartupWMClass=KestrOwn\nExec=" + clientProgram() +
                                       " --detached --delay 2 --class KestrOwn --title launched");
    ClientOptions other;
    other.wmClass = "KestrOwn";
    other.title = "other";
    other.delaySeconds = 0.3;  // during the launch
    ClientProcess& stranger = spawn(other);
    const Rect slot(120, 80, 640, 420);
    EXPECT_EQ(apply({test::ItemBuilder("kestr-own", "Own").on(mainUUID(), slot)}).applied, 1);
    const xcb_window_t strangers = stranger.window();
    ASSERT_NE(strangers, XCB_NONE);
    const auto launched = windowTitled("launched");
    ASSERT_TRUE(launched);
    EXPECT_TRUE(settle([&] { return serverFrame(*launched) == slot; }));
    EXPECT_NE(serverFrame(strangers), slot);
}

// One line of /proc/<pid>/status, such as "SigBlk:\t0000000000000000".
std::string statusLine(std::int32_t pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return line;
    return "";
}

std::string linkOf(std::int32_t pid, const std::string& entry) {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/" + entry, error).string();
}

TEST_F(X11LaunchTest, LaunchedProgramsStartCleanInTheirFolderAndSessionWithoutOurSignalsOrOutput) {
    // kestr blocks its quit signals and ignores SIGPIPE while it launches.
    sigset_t quit, before;
    sigemptyset(&quit);
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) sigaddset(&quit, signal);
    pthread_sigmask(SIG_BLOCK, &quit, &before);
    const auto pipeBefore = ::signal(SIGPIPE, SIG_IGN);
    const std::string folder = dataFolder() + "/work folder";
    std::filesystem::create_directories(folder);
    writeDesktopEntry("kestr-clean", "Exec=" + clientProgram() + " --detached --class KestrClean");
    writeDesktopEntry("kestr-pathed",
                      "Path=" + folder + "\nExec=" + clientProgram() + " --detached --class KestrPathed");
    const auto launch = [&](const std::string& id) {
        auto launched = run(AppLauncher::ensureRunning(id, true, 5, 0.1), 25);
        return launched.succeeded() && launched.value() ? launched.value()->app.processIdentifier : 0;
    };
    const std::int32_t clean = launch("kestr-clean");
    const std::int32_t pathed = launch("kestr-pathed");
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ::signal(SIGPIPE, pipeBefore);
    ASSERT_GT(clean, 0);
    ASSERT_GT(pathed, 0);

    EXPECT_EQ(statusLine(clean, "SigBlk"), "SigBlk:\t0000000000000000");
    // The C library keeps its own signals above 31 out of reach; the standard ones count.
    const std::string ignored = statusLine(clean, "SigIgn");
    ASSERT_EQ(ignored.size(), 8u + 16u);
    EXPECT_EQ(std::stoull(ignored.substr(8), nullptr, 16) & 0x7fffffffULL, 0u) << ignored;
    for (const char* fd : {"fd/0", "fd/1", "fd/2"}) EXPECT_EQ(linkOf(clean, fd), "/dev/null") << fd;
    // The desktop file's folder, else the home folder; never ours.
    EXPECT_EQ(linkOf(clean, "cwd"), dataFolder());
    EXPECT_EQ(linkOf(pathed, "cwd"), folder);
    // A session of its own, which it leads.
    EXPECT_EQ(getsid(clean), clean);
    EXPECT_NE(getsid(clean), getsid(0));
}

TEST_F(X11LaunchTest, AnApplicationThatNeverShowsAWindowEndsInTheLaunchersTimeout) {
    writeDesktopEntry("kestr-silent", "Exec=" + clientProgram() + " --detached --delay 600");
    x11().x11Workspace().launchWindowWait = 0.5;
    EXPECT_EQ(launchError("kestr-silent", 1.0), "App kestr-silent launched but no windows appeared within 1s.");
}

TEST_F(X11LaunchTest, DesktopFilesThatCannotBeLaunchedSayWhyAndRunNothing) {
    const std::string marker = dataFolder() + "/ran";
    writeDesktopEntry("kestr-noexec", "Name=No Exec");
    writeDesktopEntry("kestr-unquoted", "Exec=touch \"" + marker);
    writeDesktopEntry("kestr-fieldcode", "Exec=touch " + marker + " %z");
    writeDesktopEntry("kestr-hidden", "Hidden=true\nExec=touch " + marker);
    writeDesktopEntry("kestr-absent", "Exec=/nonexistent/kestr-program");
    const std::string apps = dataFolder() + "/applications/";
    EXPECT_EQ(launchError("kestr-noexec"),
              "Failed to launch kestr-noexec: its desktop file " + apps + "kestr-noexec.desktop has no Exec line");
    EXPECT_TRUE(launchError("kestr-unquoted")
                    .starts_with("Failed to launch kestr-unquoted: the Exec line of " + apps +
                                 "kestr-unquoted.desktop cannot be read ("));
    EXPECT_EQ(launchError("kestr-fieldcode"), "Failed to launch kestr-fieldcode: the Exec line of " + apps +
                                                  "kestr-fieldcode.desktop has an unknown field code in \"%z\"");
    EXPECT_EQ(launchError("kestr-hidden"), "App kestr-hidden is not installed.");
    EXPECT_EQ(launchError("kestr-nowhere"), "App kestr-nowhere is not installed.");
    EXPECT_TRUE(launchError("kestr-absent").starts_with("Failed to launch kestr-absent: "));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A URL to open goes with the launch that starts the item's application: to a desktop
// file's shell command as one argument of its own, inside that command not at all, and
// not to a program that takes no URL. Either way the one process started shows the
// window placed: a second open would start another (none of these is single-instance).
TEST_F(X11LaunchTest, AnItemsURLGoesWithItsLaunchQuotedToAShellAndNoneGoesWhereNoneIsTaken) {
    const std::string got = dataFolder() + "/got.txt";
    const std::string quotedGot = dataFolder() + "/quoted.txt";
    const std::string pwned = dataFolder() + "/PWNED";
    writeDesktopEntry("kestr-echo", "Exec=sh -c 'echo got \"$1\" >> " + got + "; exec " + clientProgram() +
                                        " --detached --class KestrEcho' sh %u");
    writeDesktopEntry("kestr-quoted", "Exec=sh -c \"echo 'got %u' >> " + quotedGot + "; exec " + clientProgram() +
                                          " --detached --class KestrQuoted\"");
    writeDesktopEntry("kestr-nourl", "Exec=" + clientProgram() + " --detached --class KestrNoURL");
    const std::string hostile = "x:$(touch$IFS" + pwned + ")'$(touch$IFS" + pwned + ")'";
    const Rect echoSlot(0, 0, 600, 400);
    test::ItemBuilder echo("kestr-echo", "Echo");
    echo.on(mainUUID(), echoSlot).item().openURL = Url::parse(hostile);
    test::ItemBuilder plain("kestr-nourl", "Plain");
    plain.on(mainUUID(), Rect(600, 0, 600, 400)).item().openURL = Url::parse("https://example.com/");
    test::ItemBuilder quoted("kestr-quoted", "Quoted");
    quoted.on(mainUUID(), Rect(0, 400, 600, 400)).item().openURL = Url::parse(hostile);
    ASSERT_TRUE(echo.item().openURL);
    EXPECT_EQ(apply({echo, plain, quoted}).applied, 3);
    for (const char* id : {"kestr-echo", "kestr-nourl", "kestr-quoted"})
        EXPECT_EQ(x11().workspace().processIdentifiers(id).size(), 1u) << id;

    EXPECT_TRUE(runUntil([&] { return fileText(got) == "got " + hostile + "\n"; })) << fileText(got);
    EXPECT_TRUE(runUntil([&] { return fileText(quotedGot) == "got \n"; })) << fileText(quotedGot);
    EXPECT_FALSE(std::filesystem::exists(pwned));
    const std::string withheld = "kestr[launch]: " + dataFolder() +
                                 "/applications/kestr-quoted.desktop starts without \"" + hostile +
                                 "\": its Exec line would run it as code";
    const std::string refused = "kestr[launch]: started without \"https://example.com/\": its desktop file " +
                                dataFolder() + "/applications/kestr-nourl.desktop takes no URL or file";
    const auto& lines = recordedLog().lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), withheld), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), refused), 1);
    const auto windows = [&](const std::string& wmClass) {
        std::vector<xcb_window_t> out;
        for (xcb_window_t w : x11().model().stacking()) {
            const X11Client* c = x11().model().client(w);
            if (c && c->mapped && c->wmClass == wmClass) out.push_back(w);
        }
        return out;
    };
    ASSERT_EQ(windows("KestrEcho").size(), 1u);
    EXPECT_TRUE(settle([&] { return serverFrame(windows("KestrEcho").front()) == echoSlot; }));
    EXPECT_EQ(windows("KestrQuoted").size(), 1u);
}

TEST(DesktopExecTest, WhatAKestGivesStaysPlainArgumentsWhereTheExecLineTakesThem) {
    DesktopEntry entry;
    entry.path = "/apps/browser.desktop";
    entry.name = "Browser";
    entry.icon = "browser";
    entry.exec = "env A=1 browser --class=%c %i %U --tail \"100%%\"";
    const std::string hostile = "https://example.com/?q=$(touch x);rm -rf ~ %U `id`";
    const auto out = DesktopExec::commands(entry, {"--new-window"}, {hostile, "/tmp/a b/%f"});
    ASSERT_TRUE(std::holds_alternative<DesktopExec::Commands>(out));
    const auto& commands = std::get<DesktopExec::Commands>(out).commands;
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (DesktopExec::Command{"env", "A=1", "browser", "--class=Browser", "--icon", "browser",
                                                 "--new-window", hostile, "file:///tmp/a%20b/%25f", "--tail", "100%"}));
    // One process per item when the line takes a single file; arguments at the end when
    // it takes none.
    entry.exec = "viewer %f";
    EXPECT_EQ(std::get<0>(DesktopExec::commands(entry, {}, {"file:///a", "/b"})).commands,
              (std::vector<DesktopExec::Command>{{"viewer", "/a"}, {"viewer", "/b"}}));
    entry.exec = "term";
    EXPECT_EQ(std::get<0>(DesktopExec::commands(entry, {"-e", "sh"}, {})).commands,
              (std::vector<DesktopExec::Command>{{"term", "-e", "sh"}}));
    // Inside quotes only plain text goes in, whatever quotes it holds itself.
    entry.exec = R"(sh -c "echo %f" 'echo %f' --name="%c")";
    entry.name = R"(it's "x")";
    const auto quoted = std::get<0>(DesktopExec::commands(entry, {}, {R"(/a'b"$(c))"}));
    EXPECT_EQ(quoted.commands, (std::vector<DesktopExec::Command>{{"sh", "-c", "echo ", "echo ", "--name="}}));
    EXPECT_EQ(quoted.withheld.size(), 3u);
    // Arguments are not added where a shell would run the first of them.
    entry.exec = "sh -c";
    const auto run = std::get<0>(DesktopExec::commands(entry, {"touch x", "y"}, {}));
    EXPECT_EQ(run.commands, (std::vector<DesktopExec::Command>{{"sh", "-c"}}));
    EXPECT_EQ(run.withheld, std::vector<std::string>{"/apps/browser.desktop starts without \"touch x\", \"y\": its "
                                                     "Exec line would run it as code"});
    // An item is never read as an option.
    entry.exec = "viewer %u";
    EXPECT_EQ(std::get<1>(DesktopExec::commands(entry, {}, {"/a", "--headless"})),
              "\"--headless\" would reach /apps/browser.desktop as an option");
}

// Inside the quotes of a shell's command, or beside them, a value never goes in, plain
// text or not: the program starts without it.
TEST(DesktopExecTest, AValueInsideTheQuotesOfAShellCommandNeverGoesInPlainOrNot) {
    DesktopEntry entry;
    entry.path = "/apps/log.desktop";
    const std::string hostile = "x:$(touch$IFS$HOME/P)";
    const std::string url = "https://example.com/a=1,b=two%20words";
    struct Case {
        std::string exec, command;
    };
    const std::vector<Case> cases = {
        {R"(sh -c "echo '%u' >> log; exec app")", "echo '' >> log; exec app"},
        {R"(sh -c "echo \"%u\"")", R"(echo "")"},
        {R"(sh -c 'echo "%u"')", R"(echo "")"},
        {R"(sh -c "echo '"%u"'")", "echo ''"},
        // An escaped quote opens nothing, but a shell run by this one would read the
        // word it joins.
        {R"(sh -c "echo \'%u")", R"(echo \')"},
    };
    for (const Case& c : cases) {
        for (const std::string& value :
             {url, hostile, std::string(R"(x:a\b)"), std::string("x:a`id`"), std::string("x:it's"),
              std::string("https://example.com/?a=1&b=2"), std::string("x:'a'")}) {
            entry.exec = c.exec;
            const auto out = std::get<DesktopExec::Commands>(DesktopExec::commands(entry, {}, {value}));
            const std::string shown = c.exec + " with " + value;
            ASSERT_EQ(out.commands.size(), 1u) << shown;
            ASSERT_EQ(out.commands[0].size(), 3u) << shown;
            EXPECT_EQ(out.commands[0][2], c.command) << shown;
            EXPECT_EQ(out.withheld, std::vector<std::string>{"/apps/log.desktop starts without \"" + value +
                                                             "\": its Exec line would run it as code"})
                << shown;
        }
    }
}

TEST_F(X11LaunchTest, IconsComeFromTheIconThemeElseFromTheWindow) {
    const std::string theme = dataFolder() + "/icons/hicolor/";
    for (const char* size : {"48x48", "256x256"}) {
        std::filesystem::create_directories(theme + size + "/apps");
        std::ofstream(theme + size + "/apps/kestr-themed.png") << "png of " << size;
    }
    const std::string themed = writeDesktopEntry("kestr-themed", "Icon=kestr-themed\nExec=true");
    EXPECT_EQ(x11().workspace().iconForFile(themed), EncodedImage{"png of 256x256"});

    const std::string own =
        writeDesktopEntry("kestr-own-icon", "Icon=kestr-nowhere\nExec=true\nStartupWMClass=KestrOwnIcon");
    EXPECT_FALSE(x11().workspace().iconForFile(own));
    ClientOptions options;
    options.wmClass = "KestrOwnIcon";
    options.icon = ClientSize{16, 8};
    spawn(options).window();
    ASSERT_TRUE(settle([&] { return !x11().workspace().runningApplications("kestr-own-icon").empty(); }));
    const auto icon = x11().workspace().iconForFile(own);
    ASSERT_TRUE(icon);
    ASSERT_GT(icon->bytes.size(), 24u);
    EXPECT_EQ(icon->bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(icon->bytes.substr(16, 8), std::string("\0\0\0\x10\0\0\0\x08", 8));  // 16 x 8
}

TEST_F(X11LaunchTest, TerminateAsksTheWindowsToCloseThenSignalsAndObserversHearEachChange) {
    int changes = 0;
    x11().workspace().addRunningApplicationsObserver([&] { ++changes; });
    x11().x11Workspace().terminateWait = 0.3;
    ClientOptions polite;
    polite.wmClass = "KestrClosing";
    ClientOptions deaf = polite;
    deaf.ignoreDelete = true;
    const xcb_window_t a = spawn(polite).window();
    const xcb_window_t b = spawn(deaf).window();
    const auto hasPid = [&](xcb_window_t w) { return x11().model().client(w) && x11().model().client(w)->pid; };
    ASSERT_TRUE(settle([&] { return hasPid(a) && hasPid(b); }));
    EXPECT_GE(changes, 1);
    const int afterStart = changes;
    const std::int32_t closes = *x11().model().client(a)->pid;
    const std::int32_t ignores = *x11().model().client(b)->pid;
    EXPECT_FALSE(x11().workspace().terminate(static_cast<std::int32_t>(getpid())));
    EXPECT_TRUE(x11().workspace().terminate(closes));
    EXPECT_TRUE(x11().workspace().terminate(ignores));
    // The first closes its window when asked; the other ends on SIGTERM after the wait.
    EXPECT_TRUE(settle([&] { return !x11().workspace().runningApplication(closes); }));
    EXPECT_TRUE(x11().workspace().runningApplication(ignores));
    EXPECT_TRUE(settle([&] { return !x11().workspace().runningApplication(ignores); }));
    EXPECT_GT(changes, afterStart);
}

}  // namespace
}  // namespace kestr::x11test
