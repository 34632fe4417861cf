// Turns the bare process into the menu-bar application: one start-up, in a fixed
// order, that brings over old data, watches the stores' files for other processes'
// changes, loads the stores, seeds the default snap shortcuts, tidies the kests in
// memory, registers every shortcut, creates the menu-bar controller and starts what
// runs beside it. There is no shut-down step.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/MenuBarController.h"
#include "Platform/FileWatch.h"

namespace kestr {

class AppDelegate {
public:
    static constexpr const char* seededDefaultsVersionKey = "kestr.seededDefaultsVersion";
    static constexpr const char* didSeedDefaultSnapsKey = "kestr.didSeedDefaultSnaps";
    static constexpr const char* enableDragSnapKey = "kestr.enableDragSnap";
    static constexpr const char* didCompleteOnboardingKey = "kestr.didCompleteOnboarding";
    static constexpr const char* didOpenPanelOnceKey = "kestr.didOpenPanelOnce";
    static constexpr const char* didShowNotchHintKey = "kestr.didShowNotchHint";
    static constexpr double notchHintDelay = 8.0;
    static constexpr double notchHintDuration = 4.0;

    // Makes the status item; none: the menu bar has no room for one.
    std::function<std::unique_ptr<StatusItem>()> makeStatusItem;
    // Where the window-list command prints besides its file.
    ConsoleOutput* console = nullptr;

    void applicationDidFinishLaunching();
    // Another process rewrote the kest file or "snaps.json": takes its change in
    // (this process's unsaved changes stay on top) and rebuilds the hot keys, the
    // active kest, the panel and the manager window from the stores.
    void storesChangedOnDisk();
    // The room windows have on a display changed (a panel came or went, kestr's own
    // button went into a tray): the kests are tidied for the room there is now.
    void visibleAreasChanged();

    std::unique_ptr<MenuBarController> menuBarController;

private:
    struct LoadFailure {
        std::string error;
        // Where the damaged file is now: moved aside, or left in place.
        std::string keptAt;
        bool savesRefused = false;
        // The store goes on with its backup.
        bool backupTaken = false;
    };

    void seedDefaultSnaps();
    void scheduleNotchHintIfNeeded();
    void watchStores();
    static void reportLoadFailure(const std::string& what, const LoadFailure& failure);

    std::optional<LoadFailure> layoutsFailure_;
    std::optional<LoadFailure> snapsFailure_;
    std::vector<std::unique_ptr<FileWatch::Watch>> storeWatches_;
};

}  // namespace kestr
