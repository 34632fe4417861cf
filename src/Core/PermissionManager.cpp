#include "Core/PermissionManager.h"

#include "Platform/Platform.h"

namespace kestr {

namespace {
constexpr double slowPollInterval = 5.0;
constexpr double fastPollInterval = 0.5;
constexpr const char* accessibilitySettingsURL =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
}  // namespace

PermissionManager::PermissionManager()
    : isTrusted(platform().accessibility().isProcessTrusted()), self_(std::make_shared<PermissionManager*>(this)) {}

PermissionManager::~PermissionManager() {
    if (timer) timer->invalidate();
    if (fastTimer) fastTimer->invalidate();
}

PermissionManager& PermissionManager::shared() { return platform().shared<PermissionManager>(); }

void PermissionManager::startMonitoring() {
    if (timer) timer->invalidate();
    // Where the permission cannot change there is nothing to watch: one reading is the
    // answer for the whole run.
    if (!platform().capabilities().trustCanChange) {
        refresh();
        return;
    }
    std::weak_ptr<PermissionManager*> weak = self_;
    MainActor& actor = platform().mainActor();
    timer = actor.scheduleRepeating(slowPollInterval, [weak, &actor] {
        actor.post([weak] {
            if (auto self = weak.lock()) (*self)->refresh();
        });
    });
    platform().workspace().addDidBecomeActiveObserver([weak] {
        if (auto self = weak.lock()) (*self)->refresh();
    });
}

void PermissionManager::refresh() {
    const bool now = platform().accessibility().isProcessTrusted();
    if (now == isTrusted) return;
    const bool old = isTrusted;
    isTrusted = now;
    // Copy: an observer may register another.
    const auto current = observers;
    for (const auto& observer : current) observer(now);
    if (old && !now && onAccessRevoked) onAccessRevoked();
}

void PermissionManager::beginFastWatch(double seconds) {
    MainActor& actor = platform().mainActor();
    fastDeadline = actor.now() + seconds;
    if (fastTimer) return;
    std::weak_ptr<PermissionManager*> weak = self_;
    fastTimer = actor.scheduleRepeating(fastPollInterval, [weak, &actor] {
        actor.post([weak, &actor] {
            auto self = weak.lock();
            if (!self) return;
            PermissionManager& manager = **self;
            manager.refresh();
            if ((manager.isTrusted || actor.now() >= manager.fastDeadline) && manager.fastTimer) {
                manager.fastTimer->invalidate();
                manager.fastTimer.reset();
            }
        });
    });
}

bool PermissionManager::isAskedFor() { return platform().capabilities().trustCanChange; }

void PermissionManager::openAccessibilitySettings() { platform().workspace().openURL(accessibilitySettingsURL); }

}  // namespace kestr
