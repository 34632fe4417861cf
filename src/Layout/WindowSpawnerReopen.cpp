// WindowSpawner's reopen request: a running application that shows no usable window is
// asked to open one, the way a click on its Dock icon does, and the new window awaited.
#include <algorithm>

#include "Platform/OpenApplication.h"
#include "Layout/WaitUntil.h"
#include "Layout/WindowSpawner.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

bool contains(const AXElementList& list, AXElement element) {
    return std::find(list.begin(), list.end(), element) != list.end();
}

}  // namespace

Task<AXElement> WindowSpawner::reopenWindow(LayoutItem item, std::vector<AXElement> excluding, double timeout,
                                            double pollInterval) {
    const std::string& bundleID = item.appBundleID;
    const auto location = platform().workspace().urlForApplication(bundleID);
    if (!location) throw SpawnError::noNewWindow(bundleID);
    const AXElementList before = WindowController::windows(bundleID);

    // For a running application this is the reopen request a click on its Dock icon
    // makes; most open a window when they have none. Its error tells nothing more. One
    // wait for the window, counted from the request, however long the desktop takes to
    // answer it.
    MainActor& actor = platform().mainActor();
    const double deadline = actor.now() + timeout;
    OpenConfiguration configuration;
    configuration.activates = false;
    co_await openApplication(*location, configuration, timeout);

    std::optional<AXElement> reopened;
    const auto appeared = [&] {
        for (AXElement window : WindowController::windows(bundleID)) {
            if (!contains(before, window) && !contains(excluding, window)) {
                reopened = window;
                return true;
            }
        }
        return false;
    };
    if (!co_await waitUntil(appeared, deadline - actor.now(), pollInterval)) throw SpawnError::noNewWindow(bundleID);
    co_return *reopened;
}

}  // namespace kestr
