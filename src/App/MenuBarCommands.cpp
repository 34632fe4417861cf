// The commands of the status menu and the kest panel: apply a kest, snap the focused
// window, release the active kest, and the utilities (reset the snap shortcuts, show the
// kest file, write the window list, switch drag snap).
#include <QStringList>
#include <cstdio>

#include "App/MenuBarController.h"
#include "App/UpdaterController.h"
#include "Core/FilePath.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Snap/SnapApplier.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"
#include "Window/DisplayManager.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

namespace {

const char* const enableDragSnapKey = "kestr.enableDragSnap";

Task<void> applyThenActivate(std::weak_ptr<MenuBarController*> weak, Layout kest, LayoutApplier::ApplyMode mode,
                             std::optional<DisplayID> anchor) {
    const auto report = co_await LayoutApplier::apply(kest, mode, LayoutApplier::FrameSource::captured, anchor);
    // An apply dropped because another was running placed nothing and means nothing:
    // the kest that was running stays the active one.
    if (!report.effectiveLayout) co_return;
    EdgeProximityTracker::shared().setActiveLayout(report.effectiveLayout);
    EdgeOverlayManager::shared().setActiveLayout(report.effectiveLayout);
    if (auto self = weak.lock()) (*self)->flashIcon(MenuBarController::MenuIcon::apply);
}

Task<void> snapFocusedWindow(SnapAction action) {
    try {
        co_await SnapApplier::apply(action);
    } catch (const std::exception& e) {
        platform().log().line("kestr: snap '" + action.rawValue() + "' failed: " + e.what());
    }
}

}  // namespace

void MenuBarController::applyKest(const Uuid& id, LayoutApplier::ApplyMode mode) {
    if (!permission.isTrusted) return;
    const auto& layouts = LayoutStore::shared().layouts;
    const auto found = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) { return l.id == id; });
    if (found == layouts.end()) return;
    // Anchored on the display that shows the status button, else the one under the
    // pointer.
    std::optional<DisplayID> anchor;
    if (statusItem_) {
        if (const auto frame = statusItem_->buttonFrame()) {
            const QPointF centre = QRectF(*frame).center();
            anchor = DisplayManager::display(Point{centre.x(), centre.y()});
        }
    }
    if (!anchor) anchor = DisplayManager::displayUnderMouse();
    if (kestPanel_) kestPanel_->hide();
    spawn(applyThenActivate(self_, *found, mode, anchor));
}

void MenuBarController::applySnapAction(SnapAction action) { spawn(snapFocusedWindow(action)); }

void MenuBarController::releaseKest() {
    EdgeProximityTracker::shared().releaseActiveKest();
    EdgeOverlayManager::shared().setActiveLayout(std::nullopt);
}

void MenuBarController::handleRequestPermission() {
    platform().accessibility().isProcessTrustedWithOptions(true);
    permission.refresh();
    permission.beginFastWatch(30);
}

void MenuBarController::handleOpenAccessibilitySettings() { permission.openAccessibilitySettings(); }

void MenuBarController::handleManageLayouts(LayoutEditorWindow::Tab tab) {
    LayoutEditorWindow& editor = LayoutEditorWindow::shared();
    std::weak_ptr<MenuBarController*> weak = self_;
    editor.onChange = [weak] {
        if (auto self = weak.lock()) (*self)->rebuildMenu();
    };
    editor.show(tab);
}

void MenuBarController::handleCheckForUpdates() { UpdaterController::shared().checkForUpdates(); }

void MenuBarController::handleRestoreMagnetDefaults() {
    AlertRequest confirm;
    confirm.messageText = "Reset to default shortcuts?";
    confirm.informativeText =
        "Resets all snap actions (halves, corners, thirds, fourths, sixths, move, size, displays) to kestr's "
        "defaults — ⌃⌥ for placement, ⌃⌥⇧ for detailed/move, ⌃⌥⌘ for displays. Shortcuts you changed yourself "
        "will be overwritten.";
    confirm.buttons = {"Reset", "Cancel"};
    if (platform().alerts().runModal(confirm) != alertFirstButtonReturn) return;

    SnapStore& store = SnapStore::shared();
    for (const SnapBinding& fallback : SnapDefaults::magnetBindings()) store.setHotkey(fallback.hotkey, fallback.action);
    std::optional<std::string> saveError;
    try {
        store.save();
    } catch (const std::exception& e) {
        saveError = e.what();
        platform().log().line(std::string("kestr: failed to save restored snap defaults: ") + e.what());
    }
    const auto conflicts = HotkeyManager::shared().sync(LayoutStore::shared().layouts, store.bindings);
    rebuildMenu();

    QStringList refused;
    for (const auto& conflict : conflicts) {
        if (const auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value))
            refused << QString::fromStdString(snap->action.displayName());
    }
    AlertRequest done;
    done.messageText = "Reset to default shortcuts";
    done.buttons = {"OK"};
    if (saveError) {
        // The shortcuts work now but come back as they were at the next launch.
        done.style = AlertStyle::warning;
        done.informativeText = "The default shortcuts are in use until kestr quits, but they couldn't be saved (" +
                               *saveError + ").";
        if (!refused.isEmpty()) {
            done.informativeText += " These shortcuts couldn't be registered because another app already uses them: " +
                                    refused.join(", ").toStdString();
        }
    } else if (conflicts.empty()) {
        done.informativeText = "You can now arrange windows with ⌃⌥ + arrows / U·I·J·K, etc.";
    } else {
        done.style = AlertStyle::warning;
        done.informativeText = "However, these shortcuts couldn't be registered because another app already uses them: " +
                               refused.join(", ").toStdString();
    }
    platform().alerts().runModal(done);
}

void MenuBarController::handleRevealLayoutsFile() {
    Files& files = platform().files();
    const std::string path = LayoutStore::shared().fileURL;
    if (files.exists(path)) {
        platform().workspace().activateFileViewerSelecting({path});
        return;
    }
    const std::string folder = parentFolder(path);
    try {
        files.createDirectories(folder);
    } catch (const FileError&) {
    }
    platform().workspace().activateFileViewerSelecting({folder});
}

void MenuBarController::handleDumpWindows() {
    const std::string text = WindowEnumerator::makeDumpText();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    Files& files = platform().files();
    const std::string path = joinPath(files.homeDirectory(), "Desktop/kestr-windows.txt");
    try {
        files.writeAtomically(path, text);
    } catch (const std::exception& e) {
        platform().log().line("kestr: failed to write dump file at " + path + ": " + e.what());
        return;
    }
    platform().workspace().activateFileViewerSelecting({path});
}

void MenuBarController::handleToggleDragSnap() {
    Preferences& preferences = Preferences::shared();
    const bool on = !preferences.boolValue(enableDragSnapKey);
    preferences.defaults.set(enableDragSnapKey, PlistValue(on));
    WindowDragTracker::shared().setEnabled(on);
    rebuildMenu();
}

}  // namespace kestr
