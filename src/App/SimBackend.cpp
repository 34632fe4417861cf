#include "App/SimBackend.h"

#include <chrono>
#include <filesystem>

#include "Platform/Platform.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {

namespace {

// An XDG base folder counts only when it is set to an absolute path.
std::optional<std::string> absoluteValue(const SimBackendPaths::Environment& environment, const std::string& name) {
    auto value = environment(name);
    if (!value || value->empty() || (*value)[0] != '/') return std::nullopt;
    return value;
}

}  // namespace

SimBackendPaths SimBackendPaths::fromEnvironment(const Environment& environment) {
    const auto home = absoluteValue(environment, "HOME");
    if (!home) throw SimBackendError("kestr: HOME must be set to an absolute path");
    const std::filesystem::path homePath(*home);

    SimBackendPaths paths;
    paths.folders.home = *home;
    paths.folders.desktop = (homePath / "Desktop").string();
    paths.folders.applicationSupport =
        absoluteValue(environment, "XDG_DATA_HOME").value_or((homePath / ".local" / "share").string());

    const auto explicitScenario = environment("KESTR_SIM_DESKTOP");
    if (explicitScenario && !explicitScenario->empty()) {
        paths.scenarioPath = *explicitScenario;
    } else {
        const std::filesystem::path state(
            absoluteValue(environment, "XDG_STATE_HOME").value_or((homePath / ".local" / "state").string()));
        paths.scenarioPath = (state / "kestr" / "sim-desktop.json").string();
    }
    paths.logToStderr = environment("KESTR_LOG_STDERR") == std::optional<std::string>("1");
    return paths;
}

SimBackend::SimBackend(SimBackendPaths paths) : paths_(std::move(paths)), log_(paths_.logToStderr) {
    auto loop = std::make_unique<RealTimeMainActor>();
    loop_ = loop.get();
    SimDesktopOptions options;
    options.mainActor = std::move(loop);
    options.folders = paths_.folders;
    try {
        if (PosixFiles(UserFolders{}).exists(paths_.scenarioPath)) {
            desktop_ = SimDesktop::loadScenario(paths_.scenarioPath, std::move(options));
        } else {
            desktop_ = SimDesktop::fromScenario(SimDesktop::defaultScenario(), std::move(options));
        }
    } catch (const std::exception& e) {
        throw SimBackendError("kestr: cannot load the simulated desktop from " + paths_.scenarioPath + ": " +
                              e.what());
    }
    // Dates the program writes (a kest's creation time, the dump's time stamp) are the
    // real ones; the desktop's own clock would start at the same instant every run.
    desktop_->simClock().start =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() - loop_->now();
    desktop_->simLog().forwardTo = &log_;
    installPlatform(desktop_.get());
}

SimBackend::~SimBackend() {
    // The desktop's shared instances may still reach the platform while they go.
    desktop_.reset();
    installPlatform(nullptr);
}

void SimBackend::save() {
    try {
        const std::filesystem::path folder = std::filesystem::path(paths_.scenarioPath).parent_path();
        if (!folder.empty()) PosixFiles(UserFolders{}).createDirectories(folder.string());
        desktop_->saveScenario(paths_.scenarioPath);
    } catch (const std::exception& e) {
        throw SimBackendError("kestr: cannot save the simulated desktop to " + paths_.scenarioPath + ": " +
                              e.what());
    }
}

}  // namespace kestr
