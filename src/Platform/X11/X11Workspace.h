// The workspace of the X11 desktop: the running applications are the processes that own
// client windows, and those it launched, from their launch until they end, window or
// not; each is known by the desktop file it was started from (its id stands where the
// other system has a bundle identifier), else by its window class. Launching
// goes through the desktop files (X11WorkspaceLaunch.cpp), opening through the user's
// default handlers, icons come from the icon theme or the window, and the file manager
// is asked on the session bus.
#pragma once

#include <map>
#include <set>
#include <variant>

#include "Platform/Workspace.h"
#include "Platform/X11/DesktopEntries.h"
#include "Platform/X11/IconTheme.h"
#include "Platform/X11/X11Connection.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class Log;
class MainActor;

class X11Workspace : public Workspace {
public:
    // kestr's own process answers as this, an accessory.
    static inline const std::string ownBundleID = "com.kestr.kestr";

    X11Workspace(X11Connection& x, X11WindowModel& model, DesktopEntries& entries, MainActor& actor, Log& log,
                 std::int32_t ownPid, std::vector<std::string> dataFolders);

    // How long a launch waits for a window of the application before it answers with the
    // process it started.
    double launchWindowWait = launchWaitSeconds;
    // How long an application asked to close its windows has before it is sent SIGTERM.
    double terminateWait = 5.0;
    // Where launched programs start when their desktop file names no folder; "": $HOME.
    std::string homeFolder;

    std::vector<RunningApplication> runningApplications() override;
    std::vector<RunningApplication> runningApplications(const std::string& bundleID) override;
    std::vector<std::int32_t> processIdentifiers(const std::string& bundleID) override;
    std::optional<RunningApplication> runningApplication(std::int32_t pid) override;
    bool standsForLaunch(std::int32_t pid, std::int32_t launched) override;
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
    std::optional<std::string> shellFolder(std::int32_t pid) override;

    // The application's name, for the accessibility and window-list services.
    std::optional<std::string> name(std::int32_t pid);

private:
    struct Started {
        DesktopEntry entry;
        std::int32_t pid = 0;
    };
    struct Identity {
        std::optional<std::string> bundleID;
        std::optional<std::string> name;
        std::optional<std::string> location;
    };
    // A process started here, told from a later one with its pid by its start time.
    struct Launched {
        std::uint64_t startTime = 0;
        Identity identity;
    };
    std::set<std::int32_t> owners() const;
    void noteLaunched(std::int32_t pid, const DesktopEntry& entry);
    static bool stillRuns(std::int32_t pid, const Launched& launched);
    // The processes that own windows, then those launched here that still run without
    // one (forgetting those that ended).
    std::vector<std::int32_t> runningPids();
    // Kept for a process with windows; one without any is looked up again each time.
    const Identity& identity(std::int32_t pid);
    RunningApplication describe(std::int32_t pid);
    std::vector<xcb_window_t> windowsOf(std::int32_t pid) const;
    // Starts the desktop file at `path`; the error's text when nothing could be started.
    std::variant<Started, std::string> start(const std::string& path, const std::vector<std::string>& arguments,
                                             const std::vector<std::string>& items);
    Task<void> awaitWindow(Started started, std::set<xcb_window_t> before, OpenApplicationCompletion completion);
    std::optional<EncodedImage> windowIcon(const std::string& bundleID);
    void sendDelete(xcb_window_t window);
    bool windowExists(xcb_window_t window);
    void termAfterWait(std::int32_t pid, std::set<xcb_window_t> asked);

    X11Connection& x_;
    X11WindowModel& model_;
    DesktopEntries& entries_;
    MainActor& actor_;
    Log& log_;
    std::int32_t ownPid_;
    IconTheme icons_;
    std::map<std::int32_t, Identity> identities_;
    Identity unkept_;
    std::set<std::int32_t> lastOwners_;
    std::map<std::int32_t, Launched> launched_;
    std::vector<std::function<void()>> runningObservers_;
};

}  // namespace kestr
