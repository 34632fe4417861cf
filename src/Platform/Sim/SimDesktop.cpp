#include "Platform/Sim/SimDesktop.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Platform/Posix/InotifyFileWatch.h"
#include "Platform/Json/JsonNesting.h"
#include "Platform/Sim/ScenarioReader.h"
#include "Platform/Sim/SimScenario.h"

namespace kestr {

namespace fs = std::filesystem;

UserFolders SimDesktop::makeTemporaryFolders(std::string& removeOnExit) {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "kestr-sim-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) throw FileError("cannot create a temporary home folder in " + base.string());
    removeOnExit = name.data();
    UserFolders folders{removeOnExit, removeOnExit + "/.local/share", removeOnExit + "/Desktop"};
    fs::create_directories(folders.applicationSupport);
    fs::create_directories(folders.desktop);
    return folders;
}

SimDesktop::SimDesktop() : SimDesktop(SimDesktopOptions{}) {}

SimDesktop::SimDesktop(SimDesktopOptions options)
    : actor_(options.mainActor ? std::move(options.mainActor) : std::make_unique<VirtualMainActor>()),
      displays_(world_, *actor_),
      accessibility_(world_, *actor_),
      windowServer_(world_),
      workspace_(world_, *actor_),
      eventMonitors_(world_),
      files_(options.folders ? *options.folders : makeTemporaryFolders(temporaryHome_)),
      simFileWatch_(*actor_),
      clock_(*actor_),
      toasts_(*actor_) {
    files_.onChange = [this](const std::string& path) { simFileWatch_.fileChanged(path); };
    if (options.watchRealFiles) realFileWatch_ = std::make_unique<InotifyFileWatch>(*actor_);
}

SimDesktop::~SimDesktop() {
    destroySharedInstances();
    files_.onChange = nullptr;
    realFileWatch_.reset();
    // Queued work and unfinished tasks go while the services they may touch exist.
    actor_.reset();
    if (!temporaryHome_.empty()) {
        std::error_code ec;
        fs::remove_all(temporaryHome_, ec);
    }
}

VirtualMainActor& SimDesktop::virtualTime() {
    auto* actor = dynamic_cast<VirtualMainActor*>(actor_.get());
    if (!actor) {
        std::fputs("kestr: the simulated desktop does not run on virtual time\n", stderr);
        std::abort();
    }
    return *actor;
}

void SimDesktop::usePreset(SimPreset preset) {
    const bool x11 = preset == SimPreset::x11;
    simCapabilities = x11 ? Capabilities::x11Session(true) : Capabilities{};
    workspace_.windowlessRunOnlyWhenLaunched = x11;
    workspace_.launchReportWaitsForWindow = x11 ? std::optional(Workspace::launchWaitSeconds) : std::nullopt;
}

void SimDesktop::plugUserInterface(const UserInterfacePlugs& plugs) {
    alerts_.forwardTo = plugs.alerts;
    toasts_.forwardTo = plugs.toasts;
    cursors_.forwardTo = plugs.cursors;
    application_.onBeep = plugs.beep;
    application_.onTerminate = plugs.terminate;
}

nlohmann::json SimDesktop::toScenario() const { return SimScenario::write(*this); }

std::unique_ptr<SimDesktop> SimDesktop::fromScenario(const nlohmann::json& scenario, SimDesktopOptions options) {
    auto desktop = std::make_unique<SimDesktop>(std::move(options));
    SimScenario::read(scenario, *desktop);
    return desktop;
}

nlohmann::json SimDesktop::defaultScenario() { return SimScenario::defaultScenario(); }

std::unique_ptr<SimDesktop> SimDesktop::loadScenario(const std::string& path, SimDesktopOptions options) {
    const std::string text = PosixFiles(UserFolders{}).read(path);
    if (JsonNesting::exceedsLimit(text)) {
        throw SimScenarioError("scenario " + path + " nests more than " + std::to_string(JsonNesting::limit) +
                               " levels deep");
    }
    nlohmann::json scenario;
    try {
        scenario = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        throw SimScenarioError("scenario " + path + " is not valid JSON: " + e.what());
    }
    return fromScenario(scenario, std::move(options));
}

void SimDesktop::saveScenario(const std::string& path) const {
    PosixFiles(UserFolders{}).writeAtomically(path, toScenario().dump(2) + "\n");
}

}  // namespace kestr
