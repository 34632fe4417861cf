// The workspace of the simulated desktop: running applications from the world, and
// launches, reopens and URL opens that play out in main-actor time as the installed
// applications' behaviour says. Every request is recorded for tests to read back.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "Platform/Runtime/MainActor.h"
#include "Platform/Sim/SimWorld.h"
#include "Platform/Workspace.h"

namespace kestr {

class SimWorkspace : public Workspace {
public:
    SimWorkspace(SimWorld& world, MainActor& actor) : world_(world), actor_(actor) {}

    std::vector<RunningApplication> runningApplications() override;
    std::vector<RunningApplication> runningApplications(const std::string& bundleID) override;
    std::optional<RunningApplication> runningApplication(std::int32_t pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    std::optional<std::string> urlForApplication(const std::string& bundleID) override;
    void openApplication(const std::string& applicationURL, const OpenConfiguration& configuration,
                         OpenApplicationCompletion completion) override;
    void openURLs(const std::vector<std::string>& urls, const std::string& applicationURL,
                  const OpenConfiguration& configuration,
                  std::function<void(std::optional<std::string> error)> completion) override;
    bool openURL(const std::string& url) override;
    bool unhide(std::int32_t pid) override;
    bool terminate(std::int32_t pid) override;
    void addDidBecomeActiveObserver(std::function<void()> observer) override;
    void addRunningApplicationsObserver(std::function<void()> observer) override;
    std::optional<EncodedImage> iconForFile(const std::string& path) override;
    void activateFileViewerSelecting(const std::vector<std::string>& paths) override;

    // ---- how the desktop behaves (SimDesktop's presets set these) ----
    // A process without windows counts as running only when this workspace launched it
    // (and not once it has ended); when false every process that has not ended does.
    bool windowlessRunOnlyWhenLaunched = false;
    // A launch is reported when the application's first window opens, or this long after
    // its process started when that comes first; none: as soon as its process runs. A
    // request to a running application is reported with the window it reopens, or after
    // this long.
    std::optional<double> launchReportWaitsForWindow;

    // ---- what tests read back ----
    struct OpenRequest {
        std::string applicationURL;
        OpenConfiguration configuration;
        double time = 0;
    };
    struct OpenURLsRequest {
        std::vector<std::string> urls;
        std::string applicationURL;
        OpenConfiguration configuration;
        double time = 0;
    };
    const std::vector<OpenRequest>& openRequests() const { return openRequests_; }
    const std::vector<OpenURLsRequest>& openURLsRequests() const { return openURLsRequests_; }
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    const std::vector<std::int32_t>& terminateRequests() const { return terminateRequests_; }
    // Each request to show files in the file manager.
    const std::vector<std::vector<std::string>>& fileViewerSelections() const { return fileViewerSelections_; }

    // ---- what tests script ----
    // Runs when URLs are opened with an application, after it runs; an answer fails
    // the request with that description.
    std::function<std::optional<std::string>(const OpenURLsRequest& request, std::int32_t pid)> onOpenURLs;
    // Answers openURL; without it every URL opens.
    std::function<bool(const std::string& url)> onOpenURL;
    // This program becomes the active application: every observer runs, in order.
    void activateThisProgram();

private:
    using Started = std::function<void(std::int32_t pid, std::optional<std::string> error)>;
    // Makes the application at `url` run (launching it if needed), then calls `started`
    // on the main actor. `reopen`: a running application without windows is asked to
    // open one.
    void start(const std::string& url, const OpenConfiguration& configuration, bool reopen, Started started);
    void finishLaunch(const std::string& bundleID, const OpenConfiguration& configuration);
    std::optional<RunningApplication> snapshot(std::int32_t pid);
    bool counts(const SimProcess& process) const;
    std::vector<SimProcess*> running(const std::string& bundleID);

    SimWorld& world_;
    MainActor& actor_;
    std::vector<OpenRequest> openRequests_;
    std::vector<OpenURLsRequest> openURLsRequests_;
    std::vector<std::string> openedURLs_;
    std::vector<std::int32_t> terminateRequests_;
    std::vector<std::vector<std::string>> fileViewerSelections_;
    std::vector<std::function<void()>> activeObservers_;
    // Launches under way, by bundle identifier: who waits for each.
    std::map<std::string, std::vector<Started>> launching_;
    std::set<std::int32_t> launched_;
};

}  // namespace kestr
