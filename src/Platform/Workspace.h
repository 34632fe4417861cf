// The workspace: running applications, launching and reopening them, opening URLs,
// application icons and the file manager.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestr {

enum class ActivationPolicy { regular, accessory, prohibited };

// A snapshot of one running application.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundleURL;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isHidden = false;
    bool isTerminated = false;
    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

struct OpenConfiguration {
    bool activates = true;
    std::vector<std::string> arguments;
    // URLs a launch hands to the application it starts, as openURLs would: the one
    // process shows them, where a second open would start another. A desktop that
    // cannot hand them to this application starts it without them and logs why.
    std::vector<std::string> urls;
};

// An image as the system hands it over: the bytes of a PNG or SVG file, which the user
// interface decodes.
struct EncodedImage {
    std::string bytes;
    friend bool operator==(const EncodedImage&, const EncodedImage&) = default;
};

// Completion of an open request: the application, or the error's description.
using OpenApplicationCompletion =
    std::function<void(std::optional<RunningApplication> app, std::optional<std::string> error)>;

class Workspace {
public:
    virtual ~Workspace() = default;

    // How long a launch waits for the application's first window; a window that shows
    // later is placed by the apply's late-window task.
    static constexpr double launchWaitSeconds = 5.0;

    // In the system's order.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::vector<RunningApplication> runningApplications(const std::string& bundleID) = 0;
    // The processes of runningApplications(bundleID), in the same order, for callers that
    // need no more (a desktop may know them without describing each application).
    virtual std::vector<std::int32_t> processIdentifiers(const std::string& bundleID) {
        std::vector<std::int32_t> pids;
        for (const RunningApplication& app : runningApplications(bundleID)) pids.push_back(app.processIdentifier);
        return pids;
    }
    // The application's current state; none when no process had that identifier.
    virtual std::optional<RunningApplication> runningApplication(std::int32_t pid) = 0;
    // Whether process `pid` may show the windows of the application launched as process
    // `launched`: it is that process or one it started. Once `launched` has ended (it
    // handed the launch to an instance that runs already), no process can be told apart.
    virtual bool standsForLaunch(std::int32_t pid, std::int32_t launched) {
        if (pid == launched) return true;
        const auto app = runningApplication(launched);
        return !app || app->isTerminated;
    }
    virtual std::optional<RunningApplication> frontmostApplication() = 0;

    // The installed application's location (a path), when there is one.
    virtual std::optional<std::string> urlForApplication(const std::string& bundleID) = 0;
    // Launches the application, or asks a running one to reopen. The completion runs
    // later on the main actor.
    virtual void openApplication(const std::string& applicationURL, const OpenConfiguration& configuration,
                                 OpenApplicationCompletion completion) = 0;
    // Opens URLs with one application; the completion runs later on the main actor.
    virtual void openURLs(const std::vector<std::string>& urls, const std::string& applicationURL,
                          const OpenConfiguration& configuration,
                          std::function<void(std::optional<std::string> error)> completion) = 0;
    // Opens a URL with the system's default handler.
    virtual bool openURL(const std::string& url) = 0;

    virtual bool unhide(std::int32_t pid) = 0;
    // A polite request to quit; false when it could not be sent.
    virtual bool terminate(std::int32_t pid) = 0;

    // Called each time this program becomes the active application.
    virtual void addDidBecomeActiveObserver(std::function<void()> observer) = 0;
    // Called each time an application starts or ends.
    virtual void addRunningApplicationsObserver(std::function<void()> observer) = 0;

    // The icon of the application installed at a path; none when there is none.
    virtual std::optional<EncodedImage> iconForFile(const std::string& path) = 0;
    // Shows the items selected in a file manager window.
    virtual void activateFileViewerSelecting(const std::vector<std::string>& paths) = 0;
    // The working folder of the shell that a terminal process runs for its one window;
    // none where the desktop cannot tell (several windows or shells, no such process).
    virtual std::optional<std::string> shellFolder(std::int32_t) { return std::nullopt; }
};

}  // namespace kestr
