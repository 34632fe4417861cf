// The program's platform backend: the simulated desktop on a real-time loop, with the
// user's own folders. The desktop is kept in a scenario file between runs, so that one
// run sees what the previous one did (an apply followed by a dump shows the moved
// windows).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Error.h"
#include "Platform/MainActor.h"
#include "Platform/PosixFiles.h"
#include "Platform/SystemLog.h"

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
    // Log lines go to syslog, and to standard error too when KESTR_LOG_STDERR is "1".
    bool logToStderr = false;

    // One environment variable's value; none when it is unset.
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // Application support is $XDG_DATA_HOME, else $HOME/.local/share; the desktop folder
    // is $HOME/Desktop. The scenario is $KESTR_SIM_DESKTOP, else
    // $XDG_STATE_HOME/kestr/sim-desktop.json, else $HOME/.local/state/kestr/sim-desktop.json.
    // Empty or relative XDG values are ignored, as the base-directory rules ask.
    // Throws SimBackendError when HOME is unset or not an absolute path.
    static SimBackendPaths fromEnvironment(const Environment& environment);
};

// Owns the simulated desktop and keeps it installed as the platform while it lives. Its
// clock shows the real time.
class SimBackend {
public:
    // Loads the scenario file, or the built-in scenario when there is none yet. Throws
    // SimBackendError when the file exists but cannot be read as a scenario; the file
    // is left as it is.
    explicit SimBackend(SimBackendPaths paths);
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
    RealTimeMainActor* loop_ = nullptr;  // owned by the desktop
    std::unique_ptr<SimDesktop> desktop_;
};

}  // namespace kestr
