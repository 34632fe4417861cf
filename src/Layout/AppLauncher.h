// Makes sure the application of a kest item runs before the item is placed: returns a
// running instance at once, or launches the application in the background (Chrome in
// its last used profile) and waits a bounded time for its first window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Error.h"
#include "Platform/Runtime/Task.h"
#include "Platform/Workspace.h"

namespace kestr {

class AppLauncher {
public:
    AppLauncher() = delete;

    struct Running {
        RunningApplication app;
        bool launched = false;  // true when this call launched it
    };

    class LaunchError : public Error {
    public:
        enum class Kind { appNotInstalled, noWindowsAppeared, workspaceFailed };

        static LaunchError appNotInstalled(const std::string& bundleID);
        // `pid`: the process launched, which may still show a window.
        static LaunchError noWindowsAppeared(const std::string& bundleID, double after, std::int32_t pid = 0);
        static LaunchError workspaceFailed(const std::string& bundleID, const std::string& underlying);

        Kind kind() const { return kind_; }
        const std::string& bundleID() const { return bundleID_; }
        double after() const { return after_; }
        std::int32_t pid() const { return pid_; }
        const std::string& underlying() const { return underlying_; }

    private:
        LaunchError(Kind kind, std::string bundleID, double after, std::string underlying, const std::string& text);
        Kind kind_;
        std::string bundleID_;
        double after_ = 0;
        std::string underlying_;
        std::int32_t pid_ = 0;
    };

    // The running application, launching it when it is missing and `launchIfMissing`
    // allows; none when it does not run and may not be launched. Throws LaunchError.
    // `contentArguments` (what the item's window shows, as the application's command
    // line takes it) follow the launch arguments; a launch hands `urls` to the process it
    // starts (a running application is not given them).
    static Task<std::optional<Running>> ensureRunning(std::string bundleID, bool launchIfMissing, double timeout,
                                                      double pollInterval,
                                                      std::vector<std::string> contentArguments = {},
                                                      std::vector<std::string> urls = {});

private:
    static std::vector<std::string> launchArguments(const std::string& bundleID);
    static std::optional<std::string> chromeSupportDir(const std::string& bundleID);
    static std::optional<std::string> chromeLastUsedProfile(const std::string& supportDir);
    static bool hasAccessibilityWindow(std::int32_t pid);
};

}  // namespace kestr
