#include "App/DesktopBackend.h"

#include <unistd.h>

#include <memory>
#include <sstream>
#include <utility>

#include "Platform/Sim/SimDesktop.h"
#include "Platform/X11/X11NativeWindows.h"
#include "Platform/X11/X11Platform.h"

namespace kestr {

namespace {

// $XDG_DATA_HOME (else ~/.local/share), then $XDG_DATA_DIRS (else /usr/local/share and
// /usr/share): where desktop files are.
std::vector<std::string> dataFolders(const UserEnvironment::Variables& variables, const UserFolders& folders) {
    std::vector<std::string> out{folders.applicationSupport};
    std::string dirs = variables("XDG_DATA_DIRS").value_or("");
    if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
    std::istringstream list(dirs);
    std::string dir;
    while (std::getline(list, dir, ':')) {
        if (!dir.empty() && dir.front() == '/') out.push_back(dir);
    }
    return out;
}

}  // namespace

DesktopBackend::Choice DesktopBackend::choose(const UserEnvironment::Variables& variables) {
    Choice choice;
    choice.displayName = variables("DISPLAY").value_or("");
    const std::string forced = variables("KESTR_DESKTOP").value_or("");
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

DesktopBackend::DesktopBackend(const Choice& choice, const UserEnvironment& user,
                               const UserEnvironment::Variables& variables, std::unique_ptr<MainActor> actor)
    : kind_(choice.kind) {
    if (kind_ == Kind::simulated) {
        const bool ownLoop = !actor;
        simulated_ = std::make_unique<SimBackend>(SimBackendPaths::fromEnvironment(user, variables), std::move(actor));
        if (ownLoop) loop_ = &simulated_->loop();
        // Qt may still show our own windows on an X display (one without a window manager
        // we work with, or the simulated desktop forced): their hints and shapes reach it.
        realWindows_ = std::make_unique<X11NativeWindows>();
        simulated_->desktop().realWindows = realWindows_.get();
        return;
    }
    if (!actor) {
        auto loop = std::make_unique<RealTimeMainActor>();
        loop_ = loop.get();
        actor = std::move(loop);
    }
    X11PlatformOptions options;
    options.displayName = choice.displayName;
    options.host.folders = user.folders;
    options.host.mainActor = std::move(actor);
    options.host.logToStderr = user.logToStderr;
    options.dataFolders = dataFolders(variables, user.folders);
    options.configHome = user.configHome;
    options.ownPid = static_cast<std::int32_t>(getpid());
    try {
        x11_ = std::make_unique<X11Platform>(std::move(options));
    } catch (const X11Error& e) {
        throw Error(std::string("kestr: ") + e.what());
    }
    installPlatform(x11_.get());
}

DesktopBackend::~DesktopBackend() {
    if (x11_) {
        x11_.reset();
        installPlatform(nullptr);
    }
}

void DesktopBackend::plugUserInterface(const UserInterfacePlugs& plugs) {
    if (simulated_) {
        simulated_->desktop().plugUserInterface(plugs);
    } else {
        x11_->plugUserInterface(plugs);
    }
}

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

void DesktopBackend::onVisibleAreasChanged(std::function<void()> handler) {
    // Heard while an X event is handled; acted on once that is done, once for all the
    // changes of one turn of the loop (a panel's strut and the work area come together).
    if (!x11_) return;
    MainActor& actor = x11_->mainActor();
    auto posted = std::make_shared<bool>(false);
    x11_->model().addStripObserver([&actor, posted, handler = std::move(handler)] {
        if (std::exchange(*posted, true)) return;
        actor.post([posted, handler] {
            *posted = false;
            handler();
        });
    });
}

}  // namespace kestr
