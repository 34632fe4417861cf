#include "Platform/Sim/SimWorkspace.h"

#include <algorithm>
#include <memory>

#include "Platform/Observers.h"
#include "Platform/Sim/SimAppIcon.h"

namespace kestr {

std::vector<RunningApplication> SimWorkspace::runningApplications() {
    std::vector<RunningApplication> out;
    for (const auto& p : world_.processes()) {
        if (!p.terminated && counts(p)) out.push_back(p.snapshot());
    }
    return out;
}

std::vector<RunningApplication> SimWorkspace::runningApplications(const std::string& bundleID) {
    std::vector<RunningApplication> out;
    for (SimProcess* p : running(bundleID)) out.push_back(p->snapshot());
    return out;
}

std::optional<RunningApplication> SimWorkspace::runningApplication(std::int32_t pid) {
    const SimProcess* p = world_.process(pid);
    if (!p || !counts(*p)) return std::nullopt;
    return p->snapshot();
}

bool SimWorkspace::counts(const SimProcess& process) const {
    if (!windowlessRunOnlyWhenLaunched) return true;
    return !process.terminated && (!process.windows.empty() || launched_.contains(process.pid));
}

std::vector<SimProcess*> SimWorkspace::running(const std::string& bundleID) {
    std::vector<SimProcess*> out;
    for (SimProcess* p : world_.runningProcesses(bundleID)) {
        if (counts(*p)) out.push_back(p);
    }
    return out;
}

std::optional<RunningApplication> SimWorkspace::snapshot(std::int32_t pid) {
    const SimProcess* p = world_.process(pid);
    if (!p) return std::nullopt;
    return p->snapshot();
}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
    if (!world_.frontmostPid) return std::nullopt;
    const SimProcess* p = world_.process(*world_.frontmostPid);
    if (!p || p->terminated) return std::nullopt;
    return p->snapshot();
}

std::optional<std::string> SimWorkspace::urlForApplication(const std::string& bundleID) {
    const SimApplication* app = world_.application(bundleID);
    if (!app || app->path.empty()) return std::nullopt;
    return app->path;
}

void SimWorkspace::openApplication(const std::string& applicationURL, const OpenConfiguration& configuration,
                                   OpenApplicationCompletion completion) {
    openRequests_.push_back({applicationURL, configuration, actor_.now()});
    start(applicationURL, configuration, true,
          [this, completion = std::move(completion)](std::int32_t pid, std::optional<std::string> error) {
              if (completion) completion(error ? std::nullopt : snapshot(pid), error);
          });
}

void SimWorkspace::openURLs(const std::vector<std::string>& urls, const std::string& applicationURL,
                            const OpenConfiguration& configuration,
                            std::function<void(std::optional<std::string> error)> completion) {
    openURLsRequests_.push_back({urls, applicationURL, configuration, actor_.now()});
    const OpenURLsRequest request = openURLsRequests_.back();
    start(applicationURL, configuration, false,
          [this, request, completion = std::move(completion)](std::int32_t pid, std::optional<std::string> error) {
              if (!error && onOpenURLs) error = onOpenURLs(request, pid);
              if (completion) completion(error);
          });
}

bool SimWorkspace::openURL(const std::string& url) {
    openedURLs_.push_back(url);
    return onOpenURL ? onOpenURL(url) : true;
}

void SimWorkspace::start(const std::string& url, const OpenConfiguration& configuration, bool reopen, Started started) {
    const SimApplication* app = world_.applicationAt(url);
    if (!app) {
        actor_.post([started, url] { started(0, "The application at " + url + " could not be found."); });
        return;
    }
    const std::string bundleID = app->bundleID;
    if (app->launchError) {
        actor_.schedule(app->launchDelay, [started, error = *app->launchError] { started(0, error); });
        return;
    }
    const auto instances = running(bundleID);
    if (!instances.empty()) {
        SimProcess& process = *instances.front();
        const std::int32_t pid = process.pid;
        if (configuration.activates) {
            process.hidden = false;
            world_.frontmostPid = pid;
            world_.windowsChanged();
        }
        const bool reopens = reopen && process.windows.empty() && app->reopenDelay;
        if (reopens) {
            actor_.schedule(*app->reopenDelay, [this, pid] {
                SimProcess* p = world_.process(pid);
                if (p && !p->terminated && p->windows.empty()) world_.openNewWindow(pid);
            });
        }
        // A desktop that reports a launch with its window reports a request to a running
        // application the same way: with the window it reopens, else when it stops waiting.
        double reportAfter = app->launchDelay;
        if (reopen && launchReportWaitsForWindow)
            reportAfter = reopens ? std::min(*app->reopenDelay, *launchReportWaitsForWindow) : *launchReportWaitsForWindow;
        actor_.schedule(reportAfter, [started, pid] { started(pid, std::nullopt); });
        return;
    }
    // A second request while the application is starting waits for the same process.
    auto& waiting = launching_[bundleID];
    waiting.push_back(std::move(started));
    if (waiting.size() > 1) return;
    actor_.schedule(app->launchDelay, [this, bundleID, configuration] { finishLaunch(bundleID, configuration); });
}

void SimWorkspace::finishLaunch(const std::string& bundleID, const OpenConfiguration& configuration) {
    auto waiting = std::move(launching_[bundleID]);
    launching_.erase(bundleID);
    const SimApplication* app = world_.application(bundleID);
    if (!app) {
        for (auto& started : waiting) started(0, "The application " + bundleID + " was removed.");
        return;
    }
    const std::optional<double> firstWindowDelay = app->firstWindowDelay;
    const std::int32_t pid = world_.launch(bundleID, configuration.arguments).pid;
    launched_.insert(pid);
    if (configuration.activates) world_.frontmostPid = pid;
    // Reported once, by whichever comes first when the report waits for the window.
    auto report = [waiting = std::make_shared<std::vector<Started>>(std::move(waiting)), pid] {
        for (auto& started : *waiting) started(pid, std::nullopt);
        waiting->clear();
    };
    if (firstWindowDelay) {
        actor_.schedule(*firstWindowDelay, [this, pid, report, waits = launchReportWaitsForWindow.has_value()] {
            SimProcess* p = world_.process(pid);
            if (p && !p->terminated) world_.openNewWindow(pid);
            if (waits) report();
        });
    }
    if (launchReportWaitsForWindow)
        actor_.schedule(*launchReportWaitsForWindow, report);
    else
        report();
}

bool SimWorkspace::unhide(std::int32_t pid) {
    SimProcess* p = world_.process(pid);
    if (!p || p->terminated) return false;
    p->hidden = false;
    world_.windowsChanged();
    return true;
}

bool SimWorkspace::terminate(std::int32_t pid) {
    terminateRequests_.push_back(pid);
    SimProcess* p = world_.process(pid);
    if (!p || p->terminated) return false;
    switch (p->onTerminate) {
        case TerminateBehavior::refuses:
            return false;
        case TerminateBehavior::ignores:
            return true;
        case TerminateBehavior::quits:
            // Quitting takes the application a moment; the request returns at once.
            actor_.post([this, pid] { world_.terminate(pid); });
            return true;
    }
    return false;
}

void SimWorkspace::addDidBecomeActiveObserver(std::function<void()> observer) {
    activeObservers_.push_back(std::move(observer));
}

void SimWorkspace::activateThisProgram() { tellObservers(activeObservers_); }

void SimWorkspace::addRunningApplicationsObserver(std::function<void()> observer) {
    world_.runningApplicationsObservers.push_back(std::move(observer));
}

std::optional<EncodedImage> SimWorkspace::iconForFile(const std::string& path) {
    const SimApplication* app = world_.applicationAt(path);
    if (!app) return std::nullopt;
    return SimAppIcon::icon(*app);
}

void SimWorkspace::activateFileViewerSelecting(const std::vector<std::string>& paths) {
    fileViewerSelections_.push_back(paths);
}

}  // namespace kestr
