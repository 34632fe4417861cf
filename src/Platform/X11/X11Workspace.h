// The workspace of the X11 desktop: the running applications are the processes that own
// client windows, each known by the desktop file it was started from (its id stands
// where the other system has a bundle identifier), else by its window class. Launching,
// opening and icons are not available here yet and say so.
#pragma once

#include <map>
#include <set>

#include "Platform/Workspace.h"
#include "Platform/X11/DesktopEntries.h"
#include "Platform/X11/X11WindowModel.h"

namespace kestr {

class MainActor;

class X11Workspace : public Workspace {
public:
    // kestr's own process answers as this, an accessory.
    static inline const std::string ownBundleID = "com.kestr.kestr";

    X11Workspace(X11WindowModel& model, DesktopEntries& entries, MainActor& actor, std::int32_t ownPid);

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

    // The application's name, for the accessibility and window-list services.
    std::optional<std::string> name(std::int32_t pid);

private:
    struct Identity {
        std::optional<std::string> bundleID;
        std::optional<std::string> name;
        std::optional<std::string> location;
    };
    std::set<std::int32_t> owners() const;
    Identity identity(std::int32_t pid);
    RunningApplication describe(std::int32_t pid);

    X11WindowModel& model_;
    DesktopEntries& entries_;
    MainActor& actor_;
    std::int32_t ownPid_;
    std::map<std::int32_t, Identity> identities_;
    std::set<std::int32_t> lastOwners_;
    std::vector<std::function<void()>> runningObservers_;
};

}  // namespace kestr
