#include "App/SaveCommand.h"

#include <algorithm>

#include "Core/HotkeyConflictNames.h"
#include "Core/KestSaveFailure.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/LayoutCapture.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

std::optional<std::string> anchorDisplayUUID() {
    std::optional<DisplayID> display = DisplayManager::displayUnderMouse();
    if (!display) {
        if (auto main = platform().displays().mainScreen()) display = DisplayManager::displayID(*main);
    }
    if (!display) return std::nullopt;
    return platform().displays().displayUUIDString(*display);
}

QImage thumbnail(const std::optional<std::string>& restrictTo) {
    return KestThumbnailRenderer::dialogIcon(
        LayoutCapture::captureCurrent("preview", restrictTo, true).strippingDesktopJunk());
}

}  // namespace

void SaveCommand::askForPermission() {
    const int answer = platform().alerts().runModal(AlertRequest{
        AlertStyle::warning,
        "Accessibility permission required",
        "Grant Accessibility access first so kestr can read and move your windows. In System Settings ▸ Privacy & "
        "Security ▸ Accessibility, switch kestr on.",
        {"Open Settings", "Grant…", "Cancel"},
        {},
    });
    PermissionManager& permission = PermissionManager::shared();
    if (answer == alertFirstButtonReturn) {
        permission.openAccessibilitySettings();
        permission.beginFastWatch(30);
    } else if (answer == alertFirstButtonReturn + 1) {
        platform().accessibility().isProcessTrustedWithOptions(true);
        permission.refresh();
        permission.beginFastWatch(30);
    }
}

void SaveCommand::run() {
    // The capture shortcut and the timers keep working under the alerts and the dialog
    // of a save; a second save must not start inside the first.
    if (running_) {
        if (bringDialogForward) bringDialogForward();
        return;
    }
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};

    if (!PermissionManager::shared().isTrusted) {
        askForPermission();
        return;
    }
    const std::optional<std::string> anchor = anchorDisplayUUID();
    const SaveDialog::Request request{thumbnail(anchor), thumbnail(std::nullopt),
                                      SaveDialog::monitorHint(platform().displays().screens().size()),
                                      QString::fromStdString(platform().wording().otherDesktopsNote())};
    const std::optional<SaveDialog::Result> choice = presentDialog ? presentDialog(request) : std::nullopt;
    if (!choice) return;
    store(*choice, anchor);
}

void SaveCommand::store(const SaveDialog::Result& choice, const std::optional<std::string>& anchorUUID) {
    LayoutStore& layouts = LayoutStore::shared();
    // The Finder's desktop is never a window of a kest: start-up and the thumbnails drop
    // it too. It spans its whole display, so no shared edge can hold it.
    const Layout captured =
        LayoutCapture::captureCurrent(choice.name, choice.allScreens ? std::nullopt : anchorUUID, true)
            .strippingDesktopJunk();
    auto existing = std::find_if(layouts.layouts.begin(), layouts.layouts.end(),
                                 [&](const Layout& l) { return l.name == choice.name; });
    Layout saved = captured;
    std::optional<Layout> previous;
    if (existing == layouts.layouts.end()) {
        layouts.layouts.push_back(saved);
    } else {
        const int answer = platform().alerts().runModal(AlertRequest{
            AlertStyle::warning,
            "A kest named “" + choice.name + "” already exists",
            "Overwrite the existing kest? Its hotkey is kept.",
            {"Overwrite", "Cancel"},
            {},
        });
        if (answer != alertFirstButtonReturn) return;
        previous = *existing;
        saved = *existing;
        saved.items = captured.items;
        saved.edgeGroups = captured.edgeGroups;
        saved.updatedAt = Date::now();
        layouts.update(saved);
    }
    try {
        layouts.save();
    } catch (const std::exception& error) {
        if (previous) {
            layouts.update(*previous);
        } else {
            std::erase_if(layouts.layouts, [&](const Layout& l) { return l.id == saved.id; });
        }
        reportKestSaveFailure(error);
        return;
    }
    EdgeProximityTracker::shared().setActiveLayout(saved);
    EdgeOverlayManager::shared().setActiveLayout(saved);
    const auto conflicts = HotkeyManager::shared().sync(layouts.layouts, SnapStore::shared().bindings);
    if (rebuildMenu) rebuildMenu();
    if (flashSaved) flashSaved();
    if (const auto elsewhere = heldElsewhere(conflicts); !elsewhere.empty()) {
        platform().log().line("kestr: saved “" + choice.name + "” — hotkey conflicts (another app owns the key): " +
                              joinedNames(hotkeyConflictNames(elsewhere, layouts.layouts)));
    }
    if (const auto lacking = keysMissing(conflicts); !lacking.empty()) {
        platform().log().line("kestr: saved “" + choice.name +
                              "” — hotkeys not registered (this keyboard has no such key): " +
                              joinedNames(hotkeyConflictNames(lacking, layouts.layouts)));
    }
    if (const std::string own = heldByKestr(conflicts, layouts.layouts); !own.empty())
        platform().log().line("kestr: saved “" + choice.name +
                              "” — hotkey conflicts (kestr's own shortcuts hold the key): " + own);
}

}  // namespace kestr
