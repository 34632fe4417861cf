// Owns the status item and everything reached from it: decides on each click whether
// to toggle the kest panel or pop up the status menu, hands the panel its rows and
// actions, keeps the button's picture, badge and texts in line with the state of the
// program, and wires itself into the shared services whose events change them.
#pragma once

#include <QColor>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Core/Uuid.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Runtime/MainActor.h"
#include "UI/MenuBarIcons.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Panel/KestPanelController.h"
#include "App/MenuCommands.h"
#include "App/SaveCommand.h"
#include "UI/Shell/StatusMenu.h"
#include "UI/Shell/StatusItem.h"

class QMenu;

namespace kestr {

class PermissionManager;

class MenuBarController {
public:
    using MenuIcon = MenuBarIcons::MenuIcon;

    // Takes the status item (none: the menu bar refused one, and every click, panel
    // and icon change does nothing) and wires everything.
    explicit MenuBarController(std::unique_ptr<StatusItem> statusItem);
    ~MenuBarController();
    MenuBarController(const MenuBarController&) = delete;
    MenuBarController& operator=(const MenuBarController&) = delete;

    void statusItemClicked(const StatusItem::Click& click);
    void openPanelFromOnboarding();
    // Refreshes the panel's contents when it is on screen.
    void rebuildMenu();

    // ---- the button's picture ----
    void configureButton(bool trusted);
    void applyButtonImage();
    void setDraggingIcon(bool active);
    void flashIcon(MenuIcon icon);
    void setIcon(MenuIcon icon, std::optional<bool> trusted);
    void setDraggingComposite(bool clipped);
    void setActiveKestComposite();
    void updateConflictBadgeOverlay();
    void updateAccessibility();
    void handleAccessRevoked();

    // ---- the status menu (built afresh on every right click) and its commands ----
    StatusMenu::Actions menuActions();
    MenuCommands commands;
    void handleSaveLayout();
    SaveCommand saveCommand;

    // The panel's rows for the stored kests, or for the first `limit` of them.
    std::vector<KestRowView::Model> currentRowModels(std::size_t limit = SIZE_MAX) const;
    std::vector<SnapCellView::Model> currentSnapModels() const;
    KestPanelController& kestPanel();
    // Builds the panel hidden over the current kests, so that its first opening costs
    // no more than any later one. Done once, a moment after start-up.
    void preparePanel();
    static constexpr double panelPreparationDelay = 0.5;
    // Where the panel opens: the status button, else the place of the last click on it
    // (as a point); none when neither is known.
    std::optional<Rect> statusButtonAnchor() const;

    StatusItem* statusItem() const { return statusItem_.get(); }
    PermissionManager& permission;
    bool hasConflicts = false;
    bool kestActive = false;
    std::optional<MenuBarImage> baseImage;
    std::optional<QColor> baseTint;
    // The pending return to the resting picture after a flash.
    std::optional<TimerID> savedFlashWorkItem;

private:
    void showRestingIcon();
    void cancelFlash();
    void showPanel();
    KestPanelController::Actions panelActions();

    std::unique_ptr<StatusItem> statusItem_;
    std::unique_ptr<KestPanelController> kestPanel_;
    // Callbacks handed to the services hold this weakly and do nothing once we are gone.
    std::shared_ptr<MenuBarController*> self_;
};

}  // namespace kestr
