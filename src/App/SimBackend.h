// The program's platform backend: the simulated desktop on a real-time loop, with the
// user's own folders. The desktop is kept in a scenario file between runs, so that one
// run sees what the previous one did (an apply followed by a dump shows the moved
// windows).
#pragma once

#include <memory>
#include <string>

#include "Platform/Error.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/Posix/PosixFiles.h"
#include "Platform/Posix/SystemLog.h"
#include "Platform/Posix/UserEnvironment.h"

namespace kestr {

class SimDesktop;

class SimBackendError : public Error {
public:
    using Error::Error;
};

// Where the backend keeps its files.
struct SimBackendPaths {
    UserFolders folders;
    std::string scenarioPath;
    bool logToStderr = false;

    // The user's folders and log choice as they were read; the scenario is
    // $KESTR_SIM_DESKTOP, else "kestr/sim-desktop.json" in the user's state folder.
    static SimBackendPaths fromEnvironment(const UserEnvironment& user, const UserEnvironment::Variables& variables);
};

// Owns the simulated desktop and keeps it installed as the platform while it lives. Its
// clock shows the real time.
class SimBackend {
public:
    // Loads the scenario file, or the built-in scenario when there is none yet. Throws
    // SimBackendError when the file exists but cannot be read as a scenario; the file
    // is left as it is.
    explicit SimBackend(SimBackendPaths paths);
    // On the given loop instead (the menu-bar application's runs in Qt's event loop);
    // loop() is then not to be used.
    SimBackend(SimBackendPaths paths, std::unique_ptr<MainActor> actor);
    ~SimBackend();
    SimBackend(const SimBackend&) = delete;
    SimBackend& operator=(const SimBackend&) = delete;

    SimDesktop& desktop() { return *desktop_; }
    RealTimeMainActor& loop() { return *loop_; }
    const SimBackendPaths& paths() const { return paths_; }

    // Writes the desktop back to the scenario file atomically, creating its folder.
    // Throws SimBackendError.
    void save();

private:
    SimBackendPaths paths_;
    SystemLog log_;
    RealTimeMainActor* loop_ = nullptr;  // owned by the desktop; none on another loop
    std::unique_ptr<SimDesktop> desktop_;
};

}  // namespace kestr
