#include "App/SimBackend.h"

#include <filesystem>

#include "Platform/Platform.h"
#include "Platform/Sim/SimDesktop.h"
#include "Platform/Posix/SystemClock.h"

namespace kestr {

SimBackendPaths SimBackendPaths::fromEnvironment(const UserEnvironment& user,
                                                 const UserEnvironment::Variables& variables) {
    SimBackendPaths paths;
    paths.folders = user.folders;
    paths.logToStderr = user.logToStderr;
    const auto explicitScenario = variables("KESTR_SIM_DESKTOP");
    if (explicitScenario && !explicitScenario->empty()) {
        paths.scenarioPath = *explicitScenario;
    } else {
        paths.scenarioPath = (std::filesystem::path(user.stateHome) / "kestr" / "sim-desktop.json").string();
    }
    return paths;
}

SimBackend::SimBackend(SimBackendPaths paths) : SimBackend(std::move(paths), nullptr) {}

SimBackend::SimBackend(SimBackendPaths paths, std::unique_ptr<MainActor> actor)
    : paths_(std::move(paths)), log_(paths_.logToStderr) {
    if (!actor) {
        auto loop = std::make_unique<RealTimeMainActor>();
        loop_ = loop.get();
        actor = std::move(loop);
    }
    SimDesktopOptions options;
    options.mainActor = std::move(actor);
    options.folders = paths_.folders;
    options.watchRealFiles = true;
    PosixFiles files(UserFolders{});
    // What a save of the desktop cut short left behind; the next save makes its own.
    for (const auto& failure : files.removeLeftoverTemporaries(paths_.scenarioPath)) log_.line("kestr: " + failure);
    try {
        if (files.exists(paths_.scenarioPath)) {
            desktop_ = SimDesktop::loadScenario(paths_.scenarioPath, std::move(options));
        } else {
            desktop_ = SimDesktop::fromScenario(SimDesktop::defaultScenario(), std::move(options));
        }
    } catch (const std::exception& e) {
        throw SimBackendError("kestr: cannot load the simulated desktop from " + paths_.scenarioPath + ": " + e.what());
    }
    // Dates the program writes (a kest's creation time, the dump's time stamp) are the
    // real ones; the desktop's own clock would start at the same instant every run.
    desktop_->simClock().start = SystemClock().now() - desktop_->mainActor().now();
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
        throw SimBackendError("kestr: cannot save the simulated desktop to " + paths_.scenarioPath + ": " + e.what());
    }
}

}  // namespace kestr
