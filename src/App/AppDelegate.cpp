#include "App/AppDelegate.h"

#include <algorithm>

#include "App/UpdaterController.h"
#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/LegacyMigration.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/KestNormaliser.h"
#include "Platform/FilePath.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Shell/OnboardingWindow.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

constexpr int seededDefaultsVersion = 2;

// Tidies the kests for this session, around the strip the status item keeps (none
// without one). Unless the user changes a kest, saves write it back as it was stored.
// The kests edge resizing holds, as they were last applied, and the slots drag snap
// offers from them are fitted to the same room: an edge moved or a window dropped into a
// slot later goes there.
void tidyKestsAround(const StatusItem* statusItem) {
    const double strip = statusItem ? statusItem->keptTopStrip() : 0;
    KestNormaliser::normalise(LayoutStore::shared(), strip);
    if (auto* tracker = platform().sharedIfMade<EdgeProximityTracker>())
        tracker->tidyHeldKests([strip](const ScreenFrame& f) { return DisplayManager::clipFrameToVisible(f, strip); });
}

void log(const std::string& line) { platform().log().line(line); }

// Runs a store's load; a failure is logged and described for the user, and so is a
// damaged file that was set aside for its backup.
template <class Store, class Failure>
void load(Store& store, const std::string& logPrefix, std::optional<Failure>& failure) {
    try {
        store.load();
    } catch (const std::exception& e) {
        log(logPrefix + e.what());
        failure = Failure{e.what(), store.quarantined ? store.quarantined->path : store.fileURL, store.loadFailed};
        return;
    }
    if (store.quarantined) failure = Failure{store.quarantined->reason, store.quarantined->path, false, true};
}

}  // namespace

void AppDelegate::applicationDidFinishLaunching() {
    LegacyMigration::run();
    // Watched before they are read: a file another process writes while this one starts
    // is taken in, however early.
    watchStores();
    load(LayoutStore::shared(), "kestr: failed to load layouts: ", layoutsFailure_);
    load(SnapStore::shared(), "kestr: failed to load snaps: ", snapsFailure_);
    seedDefaultSnaps();
    // The status item is made now, shown later: a button that keeps a strip of the screen
    // to itself takes that strip from the windows, and the kests are tidied for the room
    // they will have.
    std::unique_ptr<StatusItem> statusItem = makeStatusItem ? makeStatusItem() : nullptr;
    tidyKestsAround(statusItem.get());
    if (statusItem) {
        // The window manager may keep the button lower than it asked to stand.
        statusItem->onKeptStripChange = [item = statusItem.get()] { tidyKestsAround(item); };
    }

    const auto& layouts = LayoutStore::shared().layouts;
    const auto conflicts = HotkeyManager::shared().sync(layouts, SnapStore::shared().bindings);
    if (const auto elsewhere = heldElsewhere(conflicts); !elsewhere.empty()) {
        log("kestr: " + std::to_string(elsewhere.size()) +
            " hotkey(s) conflicted with another app and were not registered");
    }
    if (const auto lacking = keysMissing(conflicts); !lacking.empty()) {
        log("kestr: " + std::to_string(lacking.size()) +
            " hotkey(s) were not registered: this keyboard has no such key");
    }
    if (const std::string own = heldByKestr(conflicts, layouts); !own.empty())
        log("kestr: hotkey(s) already used by kestr's own shortcuts were not registered: " + own);

    menuBarController = std::make_unique<MenuBarController>(std::move(statusItem));
    MenuBarController* controller = menuBarController.get();
    controller->commands.console = console;
    OnboardingWindow::shared().onOpenKestr = [controller] { controller->openPanelFromOnboarding(); };
    UpdaterController::shared();

    Preferences& preferences = Preferences::shared();
    WindowDragTracker& dragTracker = WindowDragTracker::shared();
    if (preferences.boolValue(enableDragSnapKey) && !dragTracker.enabled) {
        dragTracker.enabled = true;
        dragTracker.installMonitors();
    }

    if (!preferences.boolValue(didCompleteOnboardingKey)) {
        OnboardingWindow::shared().show();
    } else {
        scheduleNotchHintIfNeeded();
    }

    // The user would otherwise see an empty list, and later saves refused, with no
    // word of why.
    if (layoutsFailure_) reportLoadFailure("kests", *layoutsFailure_);
    if (snapsFailure_) reportLoadFailure("snap shortcuts", *snapsFailure_);
}

void AppDelegate::watchStores() {
    for (const std::string& path : {LayoutStore::shared().fileURL, SnapStore::shared().fileURL}) {
        try {
            platform().files().createDirectories(parentFolder(path));
            storeWatches_.push_back(platform().fileWatch().watch(path, [this] { storesChangedOnDisk(); }));
        } catch (const FileError& e) {
            log(std::string("kestr: changes other processes make will not show until the next launch: ") + e.what());
        }
    }
}

void AppDelegate::visibleAreasChanged() {
    // Before start-up has made the status item, the kests are still to be tidied.
    if (menuBarController) tidyKestsAround(menuBarController->statusItem());
}

void AppDelegate::storesChangedOnDisk() {
    // Our own saves come here too; they leave the stores as their files are.
    bool changed = false;
    try {
        changed = LayoutStore::shared().refresh();
    } catch (const std::exception& e) {
        log(std::string("kestr: failed to reload layouts: ") + e.what());
    }
    try {
        changed = SnapStore::shared().refresh() || changed;
    } catch (const std::exception& e) {
        log(std::string("kestr: failed to reload snaps: ") + e.what());
    }
    if (!changed) return;
    tidyKestsAround(menuBarController ? menuBarController->statusItem() : nullptr);
    const std::vector<Layout>& layouts = LayoutStore::shared().layouts;
    HotkeyManager::shared().sync(layouts, SnapStore::shared().bindings);
    // The active kest is what its apply placed; it ends only when its kest has gone,
    // as when it is deleted here.
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    if (tracker.activeLayout && std::none_of(layouts.begin(), layouts.end(),
                                             [&](const Layout& l) { return l.id == tracker.activeLayout->id; })) {
        tracker.releaseActiveKest();
        EdgeOverlayManager::shared().setActiveLayout(std::nullopt);
    }
    if (menuBarController) menuBarController->rebuildMenu();
    if (auto* manager = platform().sharedIfMade<LayoutEditorWindow>()) manager->reloadFromStore();
}

void AppDelegate::seedDefaultSnaps() {
    DefaultsDomain& defaults = Preferences::shared().defaults;
    if (Preferences::shared().integerValue(seededDefaultsVersionKey) > 1) return;
    SnapStore& store = SnapStore::shared();
    int added = 0;
    for (const SnapBinding& fallback : SnapDefaults::magnetBindings()) {
        if (store.binding(fallback.action)) continue;
        store.setHotkey(fallback.hotkey, fallback.action);
        ++added;
    }
    // The flags follow the file: a seeding that could not be saved runs again at the
    // next launch instead of living only in this process's memory.
    if (added > 0) {
        try {
            store.save();
        } catch (const std::exception& e) {
            log(std::string("kestr: failed to save seeded snap defaults: ") + e.what());
            return;
        }
    }
    defaults.set(seededDefaultsVersionKey, PlistValue(seededDefaultsVersion));
    defaults.set(didSeedDefaultSnapsKey, PlistValue(true));
}

void AppDelegate::scheduleNotchHintIfNeeded() {
    Preferences& preferences = Preferences::shared();
    if (preferences.boolValue(didOpenPanelOnceKey) || preferences.boolValue(didShowNotchHintKey)) return;
    const auto screen = platform().displays().mainScreen();
    if (!platform().capabilities().notchedDisplays || !screen || screen->safeAreaTopInset <= 0) return;
    platform().mainActor().schedule(notchHintDelay, [] {
        Preferences& again = Preferences::shared();
        if (again.boolValue(didOpenPanelOnceKey) || again.boolValue(didShowNotchHintKey)) return;
        again.defaults.set(didShowNotchHintKey, PlistValue(true));
        platform().toasts().show(
            "Can't find kestr? It's in your menu bar — drag other icons aside if the notch hides it.", ToastFeel::plain,
            notchHintDuration);
    });
}

void AppDelegate::reportLoadFailure(const std::string& what, const LoadFailure& failure) {
    AlertRequest request;
    request.style = AlertStyle::warning;
    request.messageText = "kestr could not load your " + what;
    const std::string error = PrintableText::of(failure.error);
    if (failure.backupTaken) {
        request.messageText = "kestr took your " + what + " from their backup";
        request.informativeText = "The file could not be read (" + error + "). It was kept at " + failure.keptAt +
                                  ", and kestr goes on with the copy made before the last save, without the "
                                  "changes of that save.";
    } else if (failure.savesRefused) {
        request.informativeText = "The file " + failure.keptAt + " could not be read (" + error +
                                  "). It was left as it is, and changes to your " + what +
                                  " will not be saved until kestr can read it.";
    } else {
        request.informativeText = "The file could not be read (" + error + "). It was kept at " + failure.keptAt +
                                  ", and kestr starts without your " + what + ".";
    }
    request.buttons = {"OK"};
    platform().alerts().runModal(request);
}

}  // namespace kestr
