#include "Platform/X11/Support/BackendTest.h"

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Platform/X11/DesktopEntries.h"
#include "Platform/X11/X11Accessibility.h"
#include "UI/QtMainActor.h"
#include "Platform/X11/Support/QtOnSession.h"

namespace kestr::x11test {

void BackendTest::SetUp() {
    X11Test::SetUp();
    if (HasFatalFailure()) return;
    char pattern[] = "/tmp/kestr-x11-backend-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dataFolder_ = pattern;
    std::filesystem::create_directories(dataFolder_ + "/applications");
    X11PlatformOptions options;
    options.displayName = platformDisplay();
    if (onQtLoop) {
        ensureQtApplication(session());
        options.host.mainActor = std::make_unique<QtMainActor>();
    } else {
        auto loop = std::make_unique<RealTimeMainActor>();
        loop_ = loop.get();
        options.host.mainActor = std::move(loop);
    }
    options.host.folders = UserFolders{dataFolder_, dataFolder_, dataFolder_ + "/Desktop"};
    options.host.log = &log_;
    options.dataFolders = {dataFolder_};
    options.configHome = dataFolder_ + "/config";
    options.ownPid = static_cast<std::int32_t>(getpid());
    platform_ = std::make_unique<X11Platform>(std::move(options));
    UserInterfacePlugs recorder;
    recorder.alerts = &alerts_;
    platform_->plugUserInterface(recorder);
    installPlatform(platform_.get());
}

void BackendTest::TearDown() {
    endLaunchedPrograms();
    if (platform_) {
        platform_.reset();
        installPlatform(nullptr);
    }
    std::error_code ignored;
    if (!dataFolder_.empty()) std::filesystem::remove_all(dataFolder_, ignored);
    X11Test::TearDown();
}

void BackendTest::writeDesktopFile(const std::string& id, const std::string& name, const std::string& startupWMClass) {
    std::ofstream(dataFolder_ + "/applications/" + id + ".desktop")
        << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=true\nStartupWMClass=" << startupWMClass
        << "\n";
}

std::string BackendTest::writeDesktopEntry(const std::string& id, const std::string& lines) {
    const std::string path = dataFolder_ + "/applications/" + id + ".desktop";
    std::ofstream(path) << "[Desktop Entry]\nType=Application\n" << lines << "\n";
    return path;
}

xcb_window_t BackendTest::openFramed(ClientOptions options, bool active) {
    const xcb_window_t w = spawn(std::move(options)).window();
    EXPECT_TRUE(settle([&] {
        const X11Client* c = x11().model().client(w);
        return c && c->mapped && c->extents.top > 0 && (!active || x11().model().activeWindow() == w);
    }));
    return w;
}

AXElement BackendTest::element(xcb_window_t w) {
    const X11Client* c = x11().model().client(w);
    return c ? X11Accessibility::windowElement(*c) : AXElement{};
}

std::optional<xcb_window_t> BackendTest::windowTitled(const std::string& title) {
    for (xcb_window_t w : x11().model().stacking()) {
        const X11Client* c = x11().model().client(w);
        if (c && c->title == title) return w;
    }
    return std::nullopt;
}

Rect BackendTest::serverFrame(xcb_window_t w) {
    const auto f = frameOf(connection(), w);
    return f ? Rect(f->x, f->y, f->width, f->height) : Rect::null();
}

std::string BackendTest::clientProgram() { return KESTR_TEST_CLIENT; }

// Every process started from this test's desktop files, found by the note the launch
// left in its environment.
void BackendTest::endLaunchedPrograms() {
    if (dataFolder_.empty()) return;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const int pid = std::stoi(name);
        const auto file = DesktopEntries::launchedDesktopFile(pid);
        if (file && file->rfind(dataFolder_ + "/", 0) == 0) ::kill(pid, SIGKILL);
    }
}

void BackendTest::runFor(double seconds, const std::function<bool()>& done) {
    if (!loop_) {
        if (!pumpQtUntil(done, seconds)) ADD_FAILURE() << "the task did not finish within " << seconds << " s";
        return;
    }
    RealTimeMainActor& actor = *loop_;
    bool timedOut = false;
    const TimerID deadline = actor.schedule(seconds, [&] {
        timedOut = true;
        actor.stop();
    });
    actor.run();
    actor.cancel(deadline);
    if (timedOut && !done()) ADD_FAILURE() << "the task did not finish within " << seconds << " s";
}

namespace {

Task<bool> lookEvery10ms(std::function<bool()> condition, double seconds) {
    for (double waited = 0; !condition(); waited += 0.01) {
        if (waited >= seconds) co_return false;
        co_await sleepFor(0.01);
    }
    co_return true;
}

}  // namespace

bool BackendTest::runUntil(std::function<bool()> condition, double seconds) {
    auto waited = run(lookEvery10ms(std::move(condition), seconds), seconds + 5);
    return waited.succeeded() && waited.value();
}

bool BackendTest::settle(std::function<bool()> condition, double seconds) {
    auto waited = run(x11().model().waitFor(std::move(condition), seconds), seconds + 5);
    return waited.succeeded() && waited.value();
}

}  // namespace kestr::x11test
