#include "App/DesktopBackend.h"

#include <unistd.h>

#include <sstream>

#include "Platform/SystemClock.h"
#include "Platform/X11/X11Platform.h"

namespace kestr {

namespace {

// $XDG_DATA_HOME (else ~/.local/share), then $XDG_DATA_DIRS (else /usr/local/share and
// /usr/share): where desktop files are.
std::vector<std::string> dataFolders(const SimBackendPaths::Environment& environment, const UserFolders& folders) {
    std::vector<std::string> out{folders.applicationSupport};
    std::string dirs = environment("XDG_DATA_DIRS").value_or("");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    std::istringstream list(dirs);
    std::string dir;
    while (std::getline(list, dir, ':')) {
        if (!dir.empty() && dir.front() == '/') out.push_back(dir);
    }
    return out;
}

}  // namespace

DesktopBackend::Choice DesktopBackend::choose(const SimBackendPaths::Environment& environment) {
    Choice choice;
    choice.displayName = environment("DISPLAY").value_or("");
    const std::string forced = environment("KESTR_DESKTOP").value_or("");
    if (forced == "simulated") return choice;
    if (forced == "x11") {
        choice.kind = Kind::x11;
        return choice;
    }
    if (!forced.empty()) {
        throw Error("kestr: KESTR_DESKTOP must be \"simulated\" or \"x11\", not \"" + forced + "\"");
    }
    if (choice.displayName.empty()) return choice;
    if (X11Platform::hasWindowManager(choice.displayName)) {
        choice.kind = Kind::x11;
    } else {
        choice.note = "kestr: no window manager announces itself on the X display " + choice.displayName +
                      "; working on the simulated desktop";
    }
    return choice;
}

DesktopBackend::DesktopBackend(const Choice& choice, const SimBackendPaths::Environment& environment,
                               std::unique_ptr<MainActor> actor)
    : kind_(choice.kind) {
    SimBackendPaths paths = SimBackendPaths::fromEnvironment(environment);
    if (kind_ == Kind::simulated) {
        const bool ownLoop = !actor;
        simulated_ = std::make_unique<SimBackend>(std::move(paths), std::move(actor));
        if (ownLoop) loop_ = &simulated_->loop();
        return;
    }
    if (!actor) {
        auto loop = std::make_unique<RealTimeMainActor>();
        loop_ = loop.get();
        actor = std::move(loop);
    }
    log_ = std::make_unique<SystemLog>(paths.logToStderr);
    X11PlatformOptions options;
    options.displayName = choice.displayName;
    options.mainActor = std::move(actor);
    options.folders = paths.folders;
    options.dataFolders = dataFolders(environment, paths.folders);
    options.configHome = UserEnvironment::read(environment).configHome;
    options.ownPid = static_cast<std::int32_t>(getpid());
    try {
        x11_ = std::make_unique<X11Platform>(std::move(options));
    } catch (const X11Error& e) {
        throw Error(std::string("kestr: ") + e.what());
    }
    SimDesktop& rest = x11_->rest();
    rest.simClock().start = SystemClock().now() - rest.mainActor().now();
    rest.simLog().forwardTo = log_.get();
    installPlatform(x11_.get());
}

DesktopBackend::~DesktopBackend() {
    if (x11_) {
        x11_.reset();
        installPlatform(nullptr);
    }
}

SimDesktop& DesktopBackend::services() { return simulated_ ? simulated_->desktop() : x11_->rest(); }

RealTimeMainActor& DesktopBackend::loop() { return *loop_; }

void DesktopBackend::save() {
    if (simulated_) simulated_->save();
}

void DesktopBackend::onConnectionLost(std::function<void()> handler) {
    if (x11_) x11_->onConnectionLost = std::move(handler);
}

void DesktopBackend::onDisplaysChanged(std::function<void()> handler) {
    if (x11_) x11_->x11Displays().addChangeObserver(std::move(handler));
}

}  // namespace kestr
