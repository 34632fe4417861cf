#include "App/MenuCommands.h"

#include <algorithm>

#include "App/UpdaterController.h"

#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Snap/SnapApplier.h"
#include "Snap/SnapShortcutsModel.h"
#include "Snap/SnapStore.h"
#include "UI/Shell/StatusMenu.h"
#include "Window/DisplayManager.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

namespace {

// Holds copies of what it needs, so it finishes whatever happens to the menu meanwhile.
Task<void> applyAndActivate(Layout kest, LayoutApplier::ApplyMode mode, std::optional<DisplayID> anchor,
                            std::function<void()> flashApplied) {
    const LayoutApplier::ApplyReport report =
        co_await LayoutApplier::apply(std::move(kest), mode, LayoutApplier::FrameSource::captured, anchor);
    // An apply dropped because another one is running placed nothing and has no
    // effective kest (the engine logged it): the active kest and the icon stay as they are.
    if (!report.effectiveLayout) co_return;
    EdgeProximityTracker::shared().setActiveLayout(report.effectiveLayout);
    EdgeOverlayManager::shared().setActiveLayout(report.effectiveLayout);
    if (flashApplied) flashApplied();
}

Task<void> snapFocusedWindow(SnapAction action) {
    try {
        co_await SnapApplier::apply(action);
    } catch (const std::exception& error) {
        platform().log().line("kestr: snap '" + action.rawValue() + "' failed: " + error.what());
    }
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// `elsewhere`: the titles of actions whose key another program holds; `own`: those whose
// key one of kestr's own shortcuts holds, each with its holder.
AlertRequest restoredDefaultsReport(bool saved, const std::vector<std::string>& elsewhere,
                                    const std::vector<std::string>& own) {
    std::string inUse;
    if (!elsewhere.empty()) {
        inUse = "However, these shortcuts couldn't be registered because another app already uses them: " +
                joinedNames(elsewhere);
    }
    if (!own.empty()) {
        inUse += (inUse.empty() ? "" : "\n\n") +
                 std::string("However, these shortcuts couldn't be registered because kestr already uses them: ") +
                 joinedNames(own);
    }
    if (!saved) {
        // They work now, from memory, but the file still holds the old ones.
        std::string text =
            "The default shortcuts are in use until kestr quits, but they couldn't be saved, so kestr will start "
            "with your previous shortcuts next time. " +
            platform().wording().technicalDetails();
        if (!inUse.empty()) text += "\n\n" + inUse;
        return AlertRequest{AlertStyle::warning, "Reset to default shortcuts", text, {"OK"}, {}};
    }
    if (inUse.empty()) {
        return AlertRequest{AlertStyle::informational,
                            "Reset to default shortcuts",
                            "You can now arrange windows with " +
                                Hotkey::modifierText(CarbonModifier::control | CarbonModifier::option) +
                                " + arrows / U·I·J·K, etc.",
                            {"OK"},
                            {}};
    }
    return AlertRequest{AlertStyle::warning, "Reset to default shortcuts", inUse, {"OK"}, {}};
}

}  // namespace

void MenuCommands::refresh() const {
    if (rebuildMenu) rebuildMenu();
}

void MenuCommands::applyKest(const Uuid& id, LayoutApplier::ApplyMode mode) {
    if (!PermissionManager::shared().isTrusted) return;
    const auto& kests = LayoutStore::shared().layouts;
    const auto kest = std::find_if(kests.begin(), kests.end(), [&](const Layout& l) { return l.id == id; });
    if (kest == kests.end()) return;
    std::optional<DisplayID> anchor = statusButtonDisplay ? statusButtonDisplay() : std::nullopt;
    if (!anchor) anchor = DisplayManager::displayUnderMouse();
    if (hidePanel) hidePanel();
    spawn(applyAndActivate(*kest, mode, anchor, flashApplied));
}

void MenuCommands::applySnap(SnapAction action) {
    if (!PermissionManager::shared().isTrusted) return;
    if (hidePanel) hidePanel();
    spawn(snapFocusedWindow(action));
}

void MenuCommands::applySnap(const std::string& rawName) {
    if (const auto action = SnapAction::fromRawValue(rawName)) applySnap(*action);
}

void MenuCommands::releaseKest() {
    EdgeProximityTracker::shared().releaseActiveKest();
    EdgeOverlayManager::shared().setActiveLayout(std::nullopt);
}

void MenuCommands::requestPermission() {
    PermissionManager& permission = PermissionManager::shared();
    platform().accessibility().isProcessTrustedWithOptions(true);
    permission.refresh();
    permission.beginFastWatch(30);
}

void MenuCommands::openAccessibilitySettings() { PermissionManager::shared().openAccessibilitySettings(); }

void MenuCommands::manage(LayoutEditorWindow::Tab tab) {
    LayoutEditorWindow& window = LayoutEditorWindow::shared();
    window.onChange = rebuildMenu;
    window.show(tab);
}

void MenuCommands::checkForUpdates() { UpdaterController::shared().checkForUpdates(); }

void MenuCommands::restoreDefaultShortcuts() {
    if (!SnapShortcutsModel::confirmReset()) return;
    SnapShortcutsModel::putDefaultsInStore();
    SnapStore& snaps = SnapStore::shared();
    bool saved = true;
    try {
        snaps.save();
    } catch (const std::exception& error) {
        platform().log().line(std::string("kestr: failed to save restored snap defaults: ") + error.what());
        saved = false;
    }
    const auto conflicts = HotkeyManager::shared().sync(LayoutStore::shared().layouts, snaps.bindings);
    refresh();
    std::vector<std::string> elsewhere, own;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        const auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value);
        if (!snap) continue;
        if (conflict.heldBy) {
            own.push_back(snap->action.displayName() + " (" +
                          shownHotkeySourceName(*conflict.heldBy, LayoutStore::shared().layouts) + ")");
        } else {
            elsewhere.push_back(snap->action.displayName());
        }
    }
    platform().alerts().runModal(restoredDefaultsReport(saved, elsewhere, own));
}

void MenuCommands::revealKestsFile() {
    Files& files = platform().files();
    const std::string path = LayoutStore::shared().fileURL;
    if (files.exists(path)) {
        platform().workspace().activateFileViewerSelecting({path});
        return;
    }
    const std::string folder = folderOf(path);
    try {
        files.createDirectories(folder);
    } catch (const FileError&) {
        // The file manager shows what there is.
    }
    platform().workspace().activateFileViewerSelecting({folder});
}

std::string MenuCommands::dumpFilePath() { return platform().files().desktopDirectory() + "/kestr-windows.txt"; }

void MenuCommands::dumpWindowList() {
    const std::string text = WindowEnumerator::makeDumpText();
    ProcessOutput standardOutput;
    (console ? *console : standardOutput).out(text);
    const std::string path = dumpFilePath();
    try {
        platform().files().writeAtomically(path, text);
    } catch (const std::exception& error) {
        platform().log().line("kestr: failed to write dump file at " + path + ": " + error.what());
        return;
    }
    if (const auto said = platform().wording().windowListWritten(path)) {
        // A long path is what gets shortened, never the words around it.
        const std::size_t at = said->find(path);
        const ToastText toast = at == std::string::npos
                                   ? ToastText(*said)
                                   : ToastText::around(said->substr(0, at), path, said->substr(at + path.size()));
        platform().toasts().show(toast, ToastFeel::plain, dumpToastDuration);
    }
    platform().workspace().activateFileViewerSelecting({path});
}

void MenuCommands::toggleDragSnap() {
    const bool on = !StatusMenu::dragSnapEnabled();
    Preferences::shared().setBoolValue(StatusMenu::enableDragSnapKey, on);
    WindowDragTracker::shared().setEnabled(on);
    refresh();
}

}  // namespace kestr
