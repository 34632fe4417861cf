#include "X11/Support/BackendTest.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace kestr::x11test {

void BackendTest::SetUp() {
    X11Test::SetUp();
    if (HasFatalFailure()) return;
    char pattern[] = "/tmp/kestr-x11-backend-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dataFolder_ = pattern;
    std::filesystem::create_directories(dataFolder_ + "/applications");
    auto loop = std::make_unique<RealTimeMainActor>();
    loop_ = loop.get();
    X11PlatformOptions options;
    options.displayName = session().display();
    options.mainActor = std::move(loop);
    options.folders = UserFolders{dataFolder_, dataFolder_, dataFolder_ + "/Desktop"};
    options.dataFolders = {dataFolder_};
    options.ownPid = static_cast<std::int32_t>(getpid());
    platform_ = std::make_unique<X11Platform>(std::move(options));
    installPlatform(platform_.get());
}

void BackendTest::TearDown() {
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

void BackendTest::runFor(double seconds, const std::function<bool()>& done) {
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

bool BackendTest::settle(std::function<bool()> condition, double seconds) {
    auto waited = run(x11().model().waitFor(std::move(condition), seconds), seconds + 5);
    return waited.succeeded() && waited.value();
}

}  // namespace kestr::x11test
