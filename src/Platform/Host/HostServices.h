// The services of a real process that do not reach a desktop: the user's files and the
// watch on them, the system log, the wall clock, the main actor, and the plug through
// which the user interface shows alerts, toasts and cursors. A real desktop (X11/) is
// built beside them; the simulated desktop has its own recording versions.
#pragma once

#include <memory>

#include "Platform/Host/PluggedUserInterface.h"
#include "Platform/Posix/InotifyFileWatch.h"
#include "Platform/Runtime/MainActor.h"
#include "Platform/Posix/PosixFiles.h"
#include "Platform/Posix/SystemClock.h"
#include "Platform/Posix/SystemLog.h"

namespace kestr {

struct HostOptions {
    UserFolders folders;
    // None: a real-time loop.
    std::unique_ptr<MainActor> mainActor;
    // Where log lines go (not owned); none: the system log, and standard error too when
    // logToStderr.
    Log* log = nullptr;
    bool logToStderr = false;
};

class HostServices {
public:
    explicit HostServices(HostOptions options);
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    MainActor& mainActor() { return *actor_; }
    Files& files() { return files_; }
    FileWatch& fileWatch() { return *fileWatch_; }
    Log& log() { return *log_; }
    Clock& clock() { return clock_; }
    Alerts& alerts() { return userInterface_; }
    Toasts& toasts() { return userInterface_; }
    Cursors& cursors() { return userInterface_; }
    ApplicationObject& application() { return userInterface_; }

    // The user interface's own parts from now on; empty plugs unplug them.
    void plugUserInterface(UserInterfacePlugs plugs) { userInterface_.plug(std::move(plugs)); }

private:
    std::unique_ptr<MainActor> actor_;
    PosixFiles files_;
    std::unique_ptr<InotifyFileWatch> fileWatch_;
    std::unique_ptr<SystemLog> systemLog_;
    Log* log_;
    SystemClock clock_;
    PluggedUserInterface userInterface_;
};

}  // namespace kestr
