#include "Layout/AppLauncher.h"

#include <nlohmann/json.hpp>

#include "Core/KnownApplications.h"
#include "Core/WholeNumber.h"
#include "Platform/OpenApplication.h"
#include "Layout/WaitUntil.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

AppLauncher::LaunchError::LaunchError(Kind kind, std::string bundleID, double after, std::string underlying,
                                      const std::string& text)
    : Error(text), kind_(kind), bundleID_(std::move(bundleID)), after_(after), underlying_(std::move(underlying)) {}

AppLauncher::LaunchError AppLauncher::LaunchError::appNotInstalled(const std::string& bundleID) {
    return LaunchError(Kind::appNotInstalled, bundleID, 0, "", "App " + bundleID + " is not installed.");
}

AppLauncher::LaunchError AppLauncher::LaunchError::noWindowsAppeared(const std::string& bundleID, double after,
                                                                     std::int32_t pid) {
    LaunchError error(Kind::noWindowsAppeared, bundleID, after, "",
                      "App " + bundleID + " launched but no windows appeared within " + wholeNumberText(after) + "s.");
    error.pid_ = pid;
    return error;
}

AppLauncher::LaunchError AppLauncher::LaunchError::workspaceFailed(const std::string& bundleID,
                                                                   const std::string& underlying) {
    return LaunchError(Kind::workspaceFailed, bundleID, 0, underlying,
                       "Failed to launch " + bundleID + ": " + underlying);
}

Task<std::optional<AppLauncher::Running>> AppLauncher::ensureRunning(std::string bundleID, bool launchIfMissing,
                                                                     double timeout, double pollInterval,
                                                                     std::vector<std::string> contentArguments,
                                                                     std::vector<std::string> urls) {
    Workspace& workspace = platform().workspace();
    // An instance that runs is taken as it is, hidden or windowless.
    const auto running = workspace.processIdentifiers(bundleID);
    if (!running.empty()) {
        if (const auto app = workspace.runningApplication(running.front())) co_return Running{*app, false};
    }
    if (!launchIfMissing) co_return std::nullopt;

    const auto location = workspace.urlForApplication(bundleID);
    if (!location) throw LaunchError::appNotInstalled(bundleID);

    // One wait for the first window, counted from the launch request: a desktop that
    // reports a launch only once a window of it shows (X11, where the window tells which
    // process stands for the application) has spent that time waiting already.
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + timeout;
    OpenConfiguration configuration;
    configuration.activates = false;
    configuration.arguments = launchArguments(bundleID);
    configuration.arguments.insert(configuration.arguments.end(), contentArguments.begin(), contentArguments.end());
    configuration.urls = std::move(urls);
    OpenApplicationResult opened = co_await openApplication(*location, configuration);
    if (opened.error || !opened.app)
        throw LaunchError::workspaceFailed(bundleID, opened.error.value_or("unknown error"));
    const RunningApplication app = *opened.app;

    const bool windowShown = co_await waitUntil(
        [&app] { return app.processIdentifier > 0 && hasAccessibilityWindow(app.processIdentifier); },
        deadline - actor.now(), pollInterval);
    if (windowShown) co_return Running{app, true};
    // Terminals often start without a window of their own; the placement opens one.
    if (KnownApplications::startsWithoutWindow(bundleID)) co_return Running{app, true};
    throw LaunchError::noWindowsAppeared(bundleID, timeout, app.processIdentifier);
}

bool AppLauncher::hasAccessibilityWindow(std::int32_t pid) {
    return !WindowController::windowList(platform().accessibility().createApplication(pid)).empty();
}

std::vector<std::string> AppLauncher::launchArguments(const std::string& bundleID) {
    const auto supportDir = chromeSupportDir(bundleID);
    if (!supportDir) return {};
    const auto profile = chromeLastUsedProfile(*supportDir);
    if (!profile) return {};
    return {"--profile-directory=" + *profile};
}

std::optional<std::string> AppLauncher::chromeSupportDir(const std::string& bundleID) {
    const KnownApplication* row = KnownApplications::find(bundleID);
    if (!row || !row->profileFolder) return std::nullopt;
    const auto directories = platform().files().applicationSupportDirectories();
    if (directories.empty()) return std::nullopt;
    std::string base = directories.front();
    if (!base.empty() && base.back() != '/') base += '/';
    return base + *row->profileFolder;
}

std::optional<std::string> AppLauncher::chromeLastUsedProfile(const std::string& supportDir) {
    std::string text;
    try {
        text = platform().files().read(supportDir + "/Local State");
    } catch (const FileError&) {
        return std::nullopt;
    }
    const auto state = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!state.is_object()) return std::nullopt;
    const auto profile = state.find("profile");
    if (profile == state.end() || !profile->is_object()) return std::nullopt;
    const auto lastUsed = profile->find("last_used");
    if (lastUsed == profile->end() || !lastUsed->is_string()) return std::nullopt;
    auto name = lastUsed->get<std::string>();
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace kestr
