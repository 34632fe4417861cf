// Saving the current arrangement as a kest: the permission check, the dialog with its
// thumbnails, the capture, a new kest or the overwrite of one of the same name, the
// save with its rollback, and what follows a successful save.
#include <QStringList>

#include "App/MenuBarController.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutCapture.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

void askForPermission(PermissionManager& permission) {
    AlertRequest request;
    request.messageText = "Accessibility permission required";
    request.informativeText =
        "Grant Accessibility access first so kestr can read and move your windows. In System Settings ▸ Privacy & "
        "Security ▸ Accessibility, switch kestr on.";
    request.buttons = {"Open Settings", "Grant…", "Cancel"};
    const int answer = platform().alerts().runModal(request);
    if (answer == alertFirstButtonReturn) {
        permission.openAccessibilitySettings();
        permission.beginFastWatch(30);
    } else if (answer == alertFirstButtonReturn + 1) {
        platform().accessibility().isProcessTrustedWithOptions(true);
        permission.refresh();
        permission.beginFastWatch(30);
    }
}

std::optional<std::string> anchorDisplayUUID() {
    Displays& displays = platform().displays();
    std::optional<DisplayID> display = DisplayManager::displayUnderMouse();
    if (!display) {
        if (const auto main = displays.mainScreen()) display = DisplayManager::displayID(*main);
    }
    if (!display) return std::nullopt;
    return displays.displayUUIDString(*display);
}

// The dialog's thumbnails come from the kest thumbnail renderer once it draws them;
// until then the dialog shows an empty picture.
QImage dialogIcon(const Layout&) { return {}; }

void logConflicts(const std::string& name, const std::vector<HotkeyManager::Conflict>& conflicts) {
    QStringList labels;
    for (const auto& conflict : conflicts) {
        if (const auto* kest = std::get_if<HotkeySource::Layout>(&conflict.source.value)) {
            for (const Layout& layout : LayoutStore::shared().layouts) {
                if (layout.id == kest->id) {
                    labels << QString::fromStdString(layout.name);
                    break;
                }
            }
        } else if (const auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value)) {
            labels << QString::fromStdString("Snap: " + snap->action.displayName());
        }
    }
    platform().log().line("kestr: saved “" + name + "” — hotkey conflicts (another app owns the key): " +
                          labels.join(", ").toStdString());
}

}  // namespace

void MenuBarController::handleSaveLayout() {
    // One save at a time: a second request (the capture shortcut works under the
    // dialog) only brings the open dialog forward.
    if (saving_) {
        if (raiseSaveDialog) raiseSaveDialog();
        return;
    }
    if (!permission.isTrusted) {
        askForPermission(permission);
        return;
    }
    saving_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{saving_};

    const auto anchor = anchorDisplayUUID();
    SaveDialog::Request request;
    request.thisScreen = dialogIcon(LayoutCapture::captureCurrent("preview", anchor, true).strippingDesktopJunk());
    request.allScreens = dialogIcon(LayoutCapture::captureCurrent("preview", std::nullopt, true).strippingDesktopJunk());
    request.monitorHint = SaveDialog::monitorHint(platform().displays().screens().size());
    const auto answer = presentSaveDialog ? presentSaveDialog(request) : SaveDialog::run(request);
    if (!answer) return;

    // The desktop's own entry is no window of the arrangement.
    Layout captured =
        LayoutCapture::captureCurrent(answer->name, answer->allScreens ? std::nullopt : anchor, true)
            .strippingDesktopJunk();
    LayoutStore& store = LayoutStore::shared();
    const auto same = std::find_if(store.layouts.begin(), store.layouts.end(),
                                   [&](const Layout& l) { return l.name == answer->name; });
    std::optional<Layout> previous;
    Layout saved = captured;
    if (same == store.layouts.end()) {
        store.layouts.push_back(captured);
    } else {
        AlertRequest overwrite;
        overwrite.messageText = "A kest named “" + answer->name + "” already exists";
        overwrite.informativeText = "Overwrite the existing kest? Its hotkey is kept.";
        overwrite.buttons = {"Overwrite", "Cancel"};
        if (platform().alerts().runModal(overwrite) != alertFirstButtonReturn) return;
        previous = *same;
        saved = *same;
        saved.items = captured.items;
        saved.edgeGroups = captured.edgeGroups;
        saved.updatedAt = captured.updatedAt;
        store.update(saved);
    }

    try {
        store.save();
    } catch (const std::exception& e) {
        if (previous) {
            store.update(*previous);
        } else {
            std::erase_if(store.layouts, [&](const Layout& l) { return l.id == captured.id; });
        }
        platform().log().line(std::string("kestr: failed to save kests: ") + e.what());
        AlertRequest failed;
        failed.style = AlertStyle::critical;
        failed.messageText = "Couldn't save your kests";
        failed.informativeText =
            "Your existing kests are unchanged. This usually means the disk is full or kestr's folder isn't "
            "writable. Technical details are in Console.";
        failed.buttons = {"OK"};
        platform().alerts().runModal(failed);
        return;
    }

    EdgeProximityTracker::shared().setActiveLayout(saved);
    EdgeOverlayManager::shared().setActiveLayout(saved);
    const auto conflicts = HotkeyManager::shared().sync(store.layouts, SnapStore::shared().bindings);
    rebuildMenu();
    flashIcon(MenuIcon::saved);
    if (!conflicts.empty()) logConflicts(answer->name, conflicts);
}

}  // namespace kestr
