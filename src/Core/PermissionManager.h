// Keeps track of whether we may control other applications' windows: polls the
// permission, watches closely for a while after the user was prompted, and reports
// changes (and a loss of the permission) to whoever listens.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "Platform/Runtime/MainActor.h"

namespace kestr {

class PermissionManager {
public:
    PermissionManager();
    ~PermissionManager();
    static PermissionManager& shared();

    // Slow poll every 5 s, plus a refresh each time this program becomes active.
    void startMonitoring();
    // Reads the permission now; calls the observers (and onAccessRevoked) on a change.
    void refresh();
    // Polls twice a second until the permission is granted or `seconds` have passed.
    void beginFastWatch(double seconds);
    void openAccessibilitySettings();
    // Whether the desktop has a permission the user grants, so that it is worth showing
    // and asking for. Where trust cannot change (X11 trusts every client) there is none.
    static bool isAskedFor();

    bool isTrusted = false;
    std::shared_ptr<MainActor::RepeatingTimer> timer;
    std::shared_ptr<MainActor::RepeatingTimer> fastTimer;
    // On the main actor's clock.
    double fastDeadline = -std::numeric_limits<double>::infinity();
    std::vector<std::function<void(bool)>> observers;
    std::function<void()> onAccessRevoked;

private:
    // Timer ticks and notifications hold this weakly, so they do nothing once we are gone.
    std::shared_ptr<PermissionManager*> self_;
};

}  // namespace kestr
