// Fresh windows and content on the X11 desktop, where applications take no scripts: a
// terminal's fresh window comes from its command line with the item's folder and
// command, and a launched xterm's shell folder is what a capture reads back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>

#include "Layout/FreshWindowCommand.h"
#include "Layout/LayoutApplier.h"
#include "Layout/LayoutCapture.h"
#include "Layout/WaitUntil.h"
#include "Support/ItemBuilder.h"
#include "Platform/X11/Support/BackendTest.h"

namespace kestr::x11test {
namespace {

using Mode = LayoutApplier::ApplyMode;

class X11FreshWindowTest : public BackendTest {
protected:
    LayoutApplier::ApplyReport apply(LayoutItem item, Mode mode) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Fresh";
        kest.items = {std::move(item)};
        auto applied =
            run(LayoutApplier::apply(std::move(kest), mode, LayoutApplier::FrameSource::target, std::nullopt), 30);
        EXPECT_TRUE(applied.succeeded());
        return applied.succeeded() ? applied.value() : LayoutApplier::ApplyReport{};
    }
    std::string mainUUID() { return x11().displays().displayUUIDString(x11().displays().mainDisplayID()).value_or(""); }
    // As Firefox: "--new-tab" adds to the newest window, anything else opens one (with
    // the client's options). Gives what reads the command lines it was given so far.
    std::function<std::string()> browser(const std::string& id, const std::string& options) {
        const std::string calls = dataFolder() + "/" + id + "-calls";
        writeDesktopEntry(id, "Exec=sh -c 'echo $* >> " + calls + "; test $1 = --new-tab || exec " + clientProgram() +
                                  " --detached --class KestrFox " + options + "' sh %u");
        return [calls] {
            std::ifstream in(calls);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
    }
    std::vector<xcb_window_t> windowsOfClass(const std::string& wmClass) {
        std::vector<xcb_window_t> out;
        for (xcb_window_t w : x11().model().stacking()) {
            const X11Client* c = x11().model().client(w);
            if (c && c->wmClass == wmClass && c->mapped) out.push_back(w);
        }
        return out;
    }
};

TEST_F(X11FreshWindowTest, ARunningTerminalOpensAFreshWindowInTheItemsFolderRunningItsCommand) {
    const std::string received = dataFolder() + "/arguments";
    writeDesktopEntry("debian-xterm", "StartupWMClass=KestrTerm\nExec=" + clientProgram() +
                                          " --detached --class KestrTerm --arguments-to " + received);
    ClientOptions running;
    running.wmClass = "KestrTerm";
    const xcb_window_t first = spawn(running).window();
    ASSERT_TRUE(settle([&] { return !x11().workspace().runningApplications("debian-xterm").empty(); }));

    LayoutItem item = test::ItemBuilder("debian-xterm", "XTerm").on(mainUUID(), Rect(200, 150, 500, 300));
    item.terminalTabs = std::vector<std::string>{"echo 'a;b' $(id) %U"};
    item.openFolders = std::vector<Url>{*Url::parse("file:///tmp/a%20b")};
    const auto report = apply(item, Mode::freshWindows);
    EXPECT_EQ(report.applied, 1);
    EXPECT_TRUE(report.skipped.empty());

    // What the kest holds reached the program as plain arguments, the field code too.
    std::vector<std::string> arguments;
    std::ifstream in(received);
    for (std::string line; std::getline(in, line);) arguments.push_back(line);
    std::vector<std::string> expected{"-e"};
    for (const auto& word : FreshWindowCommand::terminalCommand("/tmp/a b", "echo 'a;b' $(id) %U"))
        expected.push_back(word);
    EXPECT_EQ(arguments, expected);

    const auto windows = windowsOfClass("KestrTerm");
    ASSERT_EQ(windows.size(), 2u);
    const xcb_window_t fresh = windows[0] == first ? windows[1] : windows[0];
    EXPECT_TRUE(settle([&] { return x11().model().client(fresh)->frame() == Rect(200, 150, 500, 300); }));
}

// Firefox opens only the first URL after "--new-window" in the new window: the further
// tabs follow once that window shows, in their order, launched or running.
TEST_F(X11FreshWindowTest, ABrowserGetsOneWindowWithTheTabsInOrderLaunchedOrRunning) {
    const auto read = browser("firefox-esr", "");
    LayoutItem item = test::ItemBuilder("firefox-esr", "Firefox").on(mainUUID(), Rect(100, 50, 800, 600));
    item.browserTabs = std::vector<std::string>{"file:///a", "file:///b", "file:///c"};
    const std::string oneWindow = "--new-window file:///a\n--new-tab file:///b --new-tab file:///c\n";

    EXPECT_EQ(apply(item, Mode::restoreMissing).applied, 1);
    EXPECT_TRUE(runUntil([&] { return read() == oneWindow; })) << read();
    EXPECT_EQ(apply(item, Mode::freshWindows).applied, 1);
    EXPECT_TRUE(runUntil([&] { return read() == oneWindow + oneWindow; })) << read();
    const auto windows = windowsOfClass("KestrFox");
    ASSERT_EQ(windows.size(), 2u);
    for (const xcb_window_t w : windows)
        EXPECT_TRUE(settle([&] { return x11().model().client(w)->frame() == Rect(100, 50, 800, 600); }));
}

TEST_F(X11FreshWindowTest, ABrowserWhoseWindowComesAfterTheLaunchWaitGetsItsTabsWhenItShows) {
    const auto read = browser("firefox", "--delay 6");
    x11().x11Workspace().launchWindowWait = 0.2;
    LayoutItem item = test::ItemBuilder("firefox", "Firefox").on(mainUUID(), Rect(100, 50, 800, 600));
    item.browserTabs = std::vector<std::string>{"file:///a", "file:///b"};
    EXPECT_EQ(apply(item, Mode::restoreMissing).applied, 0);
    EXPECT_EQ(read(), "--new-window file:///a\n");
    EXPECT_TRUE(runUntil([&] { return read() == "--new-window file:///a\n--new-tab file:///b\n"; }, 15)) << read();
}

// The desktop answers a command line only once a window shows, or when it stops
// waiting (here long after): the item gives up after its own 4 s all the same.
TEST_F(X11FreshWindowTest, AFreshWindowThatNeverComesIsGivenUpAfterItsOwnWait) {
    writeDesktopEntry("thunar", "StartupWMClass=KestrThunar\nExec=" + clientProgram() +
                                    " --detached --delay 600 --class KestrThunar");
    x11().x11Workspace().launchWindowWait = 60;
    ClientOptions running;
    running.wmClass = "KestrThunar";
    openFramed(running);
    openFramed(running);
    ASSERT_TRUE(settle([&] { return x11().workspace().runningApplications("thunar").size() == 2; }));

    Layout kest;
    kest.id = Uuid::random();
    for (int i = 0; i < 3; ++i)
        kest.items.push_back(test::ItemBuilder("thunar", "Thunar").on(mainUUID(), Rect(100 * i, 50, 400, 300)));
    const double started = loop().now();
    auto applied = run(LayoutApplier::apply(kest, Mode::restoreMissing, LayoutApplier::FrameSource::target, {}), 20);
    ASSERT_TRUE(applied.succeeded());
    EXPECT_GE(loop().now() - started, 4.0);
    ASSERT_EQ(applied.value().skipped.size(), 1u);
    EXPECT_EQ(applied.value().skipped[0].reason.rfind("new window failed for multi-window app thunar: ", 0), 0u)
        << applied.value().skipped[0].reason;
}

// Two items of a Firefox whose launch shows its window after the launch wait: the first
// window is the first item's and gets its tabs before the second item's fresh window is
// asked for, whose tabs follow once it shows; each window stands in its own slot.
TEST_F(X11FreshWindowTest, TwoItemsOfABrowserWhoseLaunchIsLateGetOneWindowEachWithTheirOwnTabs) {
    const std::string calls = dataFolder() + "/calls";
    const std::string script = dataFolder() + "/firefox";
    // The launch's window maps 5.2 s in, past the launch wait; a later window 0.5 s after
    // its request. Each window's title is its first URL.
    std::ofstream(script) << "#!/bin/sh\necho \"$*\" >> " << calls << "\n[ \"$1\" = --new-tab ] && exit 0\n"
                          << "delay=0.5; [ -e " << calls << ".first ] || { : > " << calls << ".first; delay=5.2; }\n"
                          << "exec " << clientProgram()
                          << " --detached --class KestrFox --title \"$2\" --delay $delay\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    writeDesktopEntry("firefox-esr", "Exec=" + script + " %u");
    const Rect left(0, 0, 600, 500), right(600, 0, 600, 500);
    LayoutItem a = test::ItemBuilder("firefox-esr", "Firefox").on(mainUUID(), left);
    a.browserTabs = std::vector<std::string>{"file:///t1", "file:///t2", "file:///t3"};
    LayoutItem b = test::ItemBuilder("firefox-esr", "Firefox").on(mainUUID(), right);
    b.browserTabs = std::vector<std::string>{"file:///t4", "file:///t2", "file:///t1"};
    Layout kest;
    kest.id = Uuid::random();
    kest.items = {a, b};
    auto applied =
        run(LayoutApplier::apply(kest, Mode::restoreMissing, LayoutApplier::FrameSource::target, std::nullopt), 20);
    ASSERT_TRUE(applied.succeeded());

    const auto read = [&] {
        std::ifstream in(calls);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string inOrder =
        "--new-window file:///t1\n--new-tab file:///t2 --new-tab file:///t3\n"
        "--new-window file:///t4\n--new-tab file:///t2 --new-tab file:///t1\n";
    EXPECT_TRUE(runUntil([&] { return read() == inOrder; }, 15)) << read();
    const auto titled = [&](const std::string& title) {
        const auto w = windowTitled(title);
        return w ? serverFrame(*w) : Rect();
    };
    EXPECT_TRUE(settle([&] { return titled("file:///t1") == left && titled("file:///t4") == right; }));
}

TEST_F(X11FreshWindowTest, AnXtermLaunchedForAKestIsPlacedAndCaptureReadsItsShellsFolder) {
    const std::string desktopFile = "/usr/share/applications/debian-xterm.desktop";
    if (!std::filesystem::exists(desktopFile) || access("/usr/bin/xterm", X_OK) != 0) GTEST_SKIP() << "no xterm";
    std::filesystem::copy_file(desktopFile, dataFolder() + "/applications/debian-xterm.desktop");
    const std::string folder = dataFolder() + "/work; $(touch x)";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(windowsOfClass("XTerm").empty());

    LayoutItem item = test::ItemBuilder("debian-xterm", "XTerm").on(mainUUID(), Rect(100, 60, 700, 460));
    item.openFolders = std::vector<Url>{*Url::parse("file://" + dataFolder() + "/work%3B%20%24(touch%20x)")};
    const auto report = apply(item, Mode::restoreMissing);
    EXPECT_EQ(report.applied, 1) << (report.skipped.empty() ? "" : report.skipped.front().reason);
    const auto windows = windowsOfClass("XTerm");
    ASSERT_EQ(windows.size(), 1u);
    // The terminal keeps to whole character cells.
    EXPECT_TRUE(settle([&] {
        const Rect f = x11().model().client(windows[0])->frame();
        return f.origin == Point{100, 60} && std::abs(f.width() - 700) < 20 && std::abs(f.height() - 460) < 30;
    }));

    // The shell starts after the window and changes folder after it starts: polled, as
    // no X event tells of it.
    const std::string expected = "cd '" + folder + "'";
    std::optional<std::string> captured;
    auto read = run(kestr::waitUntil(
                        [&] {
                            const Layout kest = LayoutCapture::captureCurrent("Captured", std::nullopt, true);
                            for (const LayoutItem& i : kest.items)
                                if (i.appBundleID == "debian-xterm" && i.terminalTabs)
                                    captured = i.terminalTabs->front();
                            return captured == expected;
                        },
                        10, 0.1),
                    15);
    ASSERT_TRUE(read.succeeded());
    EXPECT_TRUE(read.value()) << captured.value_or("nothing captured");
    EXPECT_FALSE(std::filesystem::exists(dataFolder() + "/x"));
}

}  // namespace
}  // namespace kestr::x11test
