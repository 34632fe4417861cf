// Turns the bare process into the menu-bar application: one start-up, in a fixed
// order, that brings over old data, loads the stores, seeds the default snap
// shortcuts, tidies the kests in memory, registers every shortcut, creates the
// menu-bar controller and starts what runs beside it. There is no shut-down step.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "App/MenuBarController.h"

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

    std::unique_ptr<MenuBarController> menuBarController;

private:
    struct LoadFailure {
        std::string error;
        // Where the damaged file is now: moved aside, or left in place.
        std::string keptAt;
        bool savesRefused = false;
    };

    void seedDefaultSnaps();
    void normaliseKests();
    void scheduleNotchHintIfNeeded();
    static void reportLoadFailure(const std::string& what, const LoadFailure& failure);

    std::optional<LoadFailure> layoutsFailure_;
    std::optional<LoadFailure> snapsFailure_;
};

}  // namespace kestr
