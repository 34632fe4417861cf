#include "App/MenuBarController.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "Core/ConflictingApps.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeDragSession.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "UI/DisplayArea.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "Window/DisplayManager.h"

namespace kestr {

namespace {

const char* const didOpenPanelOnceKey = "kestr.didOpenPanelOnce";

// Wraps `body` so that it runs with the controller only while the controller lives.
template <class Body>
auto weakly(const std::shared_ptr<MenuBarController*>& self, Body body) {
    return [weak = std::weak_ptr<MenuBarController*>(self), body](auto&&... arguments) {
        if (auto strong = weak.lock()) body(**strong, std::forward<decltype(arguments)>(arguments)...);
    };
}

}  // namespace

MenuBarController::MenuBarController(std::unique_ptr<StatusItem> statusItem)
    : permission(PermissionManager::shared()),
      statusItem_(std::move(statusItem)),
      self_(std::make_shared<MenuBarController*>(this)) {
    hasConflicts = !ConflictingApps::running().empty();

    // The button's picture, and its clicks, follow the permission.
    const auto configure = weakly(self_, [](MenuBarController& c, bool trusted) {
        c.configureButton(trusted);
        if (c.statusItem_) {
            c.statusItem_->onClick = weakly(c.self_, [](MenuBarController& again, const StatusItem::Click& click) {
                again.statusItemClicked(click);
            });
            c.statusItem_->refreshMenu();
        }
    });
    permission.observers.push_back(configure);
    // A tray shows the status menu on its own right click; it is the same menu, made
    // afresh whenever what it shows may have changed.
    if (statusItem_) {
        const std::weak_ptr<MenuBarController*> weak = self_;
        statusItem_->keepMenu(
            [weak]() -> std::unique_ptr<QMenu> {
                const auto self = weak.lock();
                if (!self) return std::make_unique<QMenu>();
                return StatusMenu::build((*self)->permission.isTrusted, (*self)->menuActions());
            },
            [weak]() -> std::uint64_t {
                const auto self = weak.lock();
                return self ? StatusMenu::digest((*self)->permission.isTrusted) : 0;
            });
    }
    configure(permission.isTrusted);
    permission.onAccessRevoked = weakly(self_, [](MenuBarController& c) { c.handleAccessRevoked(); });
    permission.startMonitoring();

    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    tracker.onProximityChange =
        [weak = std::weak_ptr<MenuBarController*>(self_)](const std::optional<EdgeProximityTracker::Hit>& hit) {
            if (auto self = weak.lock(); self && (*self)->statusItem_) (*self)->statusItem_->setTitle("");
            EdgeOverlayManager::shared().updateProximity(hit);
        };
    tracker.onActiveKestChange = weakly(self_, [](MenuBarController& c, const std::optional<Layout>& kest) {
        c.kestActive = kest.has_value();
        if (!c.savedFlashWorkItem && !EdgeDragSession::shared().isActive) c.showRestingIcon();
        c.rebuildMenu();
    });

    HotkeyManager& hotkeys = HotkeyManager::shared();
    hotkeys.captureHandler = [weak = std::weak_ptr<MenuBarController*>(self_)] {
        platform().mainActor().post([weak] {
            if (auto self = weak.lock()) (*self)->handleSaveLayout();
        });
    };
    hotkeys.onKestApplied = weakly(self_, [](MenuBarController& c) { c.flashIcon(MenuIcon::apply); });
    // A key another program keeps, taken or freed, changes the badge and the tooltip.
    hotkeys.onHeldModifiersChange = weakly(self_, [](MenuBarController& c) {
        c.updateConflictBadgeOverlay();
        c.updateAccessibility();
    });
    saveCommand.rebuildMenu = weakly(self_, [](MenuBarController& c) { c.rebuildMenu(); });
    commands.rebuildMenu = weakly(self_, [](MenuBarController& c) { c.rebuildMenu(); });
    commands.flashApplied = weakly(self_, [](MenuBarController& c) { c.flashIcon(MenuIcon::apply); });
    commands.hidePanel = weakly(self_, [](MenuBarController& c) {
        if (c.kestPanel_) c.kestPanel_->hide();
    });
    // Kests from the menu are arranged around the display that shows the status button.
    commands.statusButtonDisplay = [weak = std::weak_ptr<MenuBarController*>(self_)]() -> std::optional<DisplayID> {
        auto self = weak.lock();
        if (!self || !(*self)->statusItem_) return std::nullopt;
        const auto frame = (*self)->statusButtonAnchor();
        if (!frame) return std::nullopt;
        return DisplayManager::display(Point{frame->midX(), frame->midY()});
    };
    saveCommand.flashSaved = weakly(self_, [](MenuBarController& c) { c.flashIcon(MenuIcon::saved); });
    EdgeDragSession& drag = EdgeDragSession::shared();
    drag.onActiveChange = weakly(self_, [](MenuBarController& c, bool active) { c.setDraggingIcon(active); });
    drag.onClippedChange = weakly(self_, [](MenuBarController& c, bool clipped) {
        if (EdgeDragSession::shared().isActive) c.setDraggingComposite(clipped);
    });

    // A conflicting window manager starting or quitting changes the badge; looked at
    // once now, then on every change, each time on the main actor.
    const auto recheckConflicts = [weak = std::weak_ptr<MenuBarController*>(self_)] {
        platform().mainActor().post([weak] {
            auto self = weak.lock();
            if (!self) return;
            MenuBarController& c = **self;
            const bool conflicts = !ConflictingApps::running().empty();
            if (conflicts == c.hasConflicts) return;
            c.hasConflicts = conflicts;
            c.applyButtonImage();
        });
    };
    platform().workspace().addRunningApplicationsObserver(recheckConflicts);
    recheckConflicts();

    // Paid while the program sits idle with its status button shown, not on the click.
    platform().mainActor().schedule(panelPreparationDelay,
                                    weakly(self_, [](MenuBarController& c) { c.preparePanel(); }));
}

MenuBarController::~MenuBarController() { cancelFlash(); }

void MenuBarController::statusItemClicked(const StatusItem::Click& click) {
    if (!statusItem_) return;
    if (click.rightButton || click.control) {
        // The menu opens at the button, so the button's screen decides how much fits.
        std::optional<int> screenHeight;
        if (const auto frame = statusItem_->buttonFrame()) {
            if (const QScreen* screen = QGuiApplication::screenAt(frame->center()))
                screenHeight = screen->availableGeometry().height();
        }
        std::unique_ptr<QMenu> menu = StatusMenu::build(permission.isTrusted, menuActions(), screenHeight);
        statusItem_->popUpMenu(*menu);
        return;
    }
    platform().defaults().standard().set(didOpenPanelOnceKey, PlistValue(true));
    KestPanelController& panel = kestPanel();
    if (panel.isVisible()) {
        panel.hide();
        return;
    }
    showPanel();
}

void MenuBarController::openPanelFromOnboarding() {
    if (!statusItem_) return;
    platform().defaults().standard().set(didOpenPanelOnceKey, PlistValue(true));
    if (kestPanel().isVisible()) return;
    showPanel();
}

std::optional<Rect> MenuBarController::statusButtonAnchor() const {
    if (!statusItem_) return std::nullopt;
    if (const auto frame = statusItem_->buttonFrame())
        return Rect(frame->x(), frame->y(), frame->width(), frame->height());
    if (const auto point = statusItem_->clickPoint()) return Rect(point->x(), point->y(), 0, 0);
    return std::nullopt;
}

void MenuBarController::showPanel() {
    // Where neither the button nor a click on it is known (a D-Bus tray before its first
    // click), the panel opens by the pointer as it is now.
    std::optional<Rect> fallback;
    if (!statusButtonAnchor()) {
        if (const auto pointer = pointerLocation()) fallback = Rect(pointer->x, pointer->y, 0, 0);
    }
    const KestPanelController::Anchor anchor = [weak = std::weak_ptr<MenuBarController*>(self_),
                                                fallback]() -> std::optional<Rect> {
        const auto self = weak.lock();
        if (!self) return fallback;
        if (const auto known = (*self)->statusButtonAnchor()) return known;
        return fallback;
    };
    kestPanel().show(anchor, permission.isTrusted, currentRowModels(), currentSnapModels());
}

void MenuBarController::rebuildMenu() {
    if (statusItem_) statusItem_->refreshMenu();
    if (!kestPanel_ || !kestPanel_->isVisible()) return;
    kestPanel_->kests = currentRowModels();
    kestPanel_->snaps = currentSnapModels();
    kestPanel_->trusted = permission.isTrusted;
    kestPanel_->relayout();
}

KestPanelController& MenuBarController::kestPanel() {
    if (!kestPanel_) {
        kestPanel_ = std::make_unique<KestPanelController>(panelActions());
        kestPanel_->terminate = [] { platform().application().terminate(); };
    }
    return *kestPanel_;
}

void MenuBarController::preparePanel() {
    if (!statusItem_) return;
    // One row draws with the fonts, symbols and icons of them all; more would only cost
    // here what each opening pays for the rows it shows.
    kestPanel().prepare(permission.isTrusted, currentRowModels(1), currentSnapModels());
}

KestPanelController::Actions MenuBarController::panelActions() {
    KestPanelController::Actions actions;
    actions.applyReuse = weakly(self_, [](MenuBarController& c, const Uuid& id) {
        c.commands.applyKest(id, LayoutApplier::ApplyMode::restoreMissing);
    });
    actions.applyFresh = weakly(self_, [](MenuBarController& c, const Uuid& id) {
        c.commands.applyKest(id, LayoutApplier::ApplyMode::freshWindows);
    });
    actions.applySnap = weakly(self_, [](MenuBarController& c, SnapAction action) {
        if (!c.permission.isTrusted) return;
        c.kestPanel().hide();
        c.commands.applySnap(action);
    });
    actions.saveCurrent = weakly(self_, [](MenuBarController& c) {
        c.kestPanel().hide();
        c.handleSaveLayout();
    });
    actions.manage = weakly(self_, [](MenuBarController& c) {
        c.kestPanel().hide();
        c.commands.manage(LayoutEditorWindow::Tab::kests);
    });
    actions.requestPermission = weakly(self_, [](MenuBarController& c) { c.commands.requestPermission(); });
    actions.releaseKest = weakly(self_, [](MenuBarController& c) { c.commands.releaseKest(); });
    return actions;
}

StatusMenu::Actions MenuBarController::menuActions() {
    StatusMenu::Actions actions;
    const auto run = [this](void (MenuCommands::*command)()) {
        return weakly(self_, [command](MenuBarController& c) { (c.commands.*command)(); });
    };
    actions.applyKest = weakly(self_, [](MenuBarController& c, const Uuid& id) {
        c.commands.applyKest(id, LayoutApplier::ApplyMode::restoreMissing);
    });
    actions.releaseKest = run(&MenuCommands::releaseKest);
    actions.requestPermission = run(&MenuCommands::requestPermission);
    actions.openAccessibilitySettings = run(&MenuCommands::openAccessibilitySettings);
    actions.saveCurrent = weakly(self_, [](MenuBarController& c) { c.handleSaveLayout(); });
    actions.manage = weakly(self_, [](MenuBarController& c) { c.commands.manage(LayoutEditorWindow::Tab::kests); });
    actions.checkForUpdates = run(&MenuCommands::checkForUpdates);
    actions.quit = [] { platform().application().terminate(); };
    actions.applySnap =
        weakly(self_, [](MenuBarController& c, const std::string& rawName) { c.commands.applySnap(rawName); });
    const auto openSnaps =
        weakly(self_, [](MenuBarController& c) { c.commands.manage(LayoutEditorWindow::Tab::snaps); });
    actions.configureSnaps = openSnaps;
    actions.importSnaps = openSnaps;
    actions.restoreDefaultShortcuts = run(&MenuCommands::restoreDefaultShortcuts);
    actions.toggleDragSnap = run(&MenuCommands::toggleDragSnap);
    actions.revealKestsFile = run(&MenuCommands::revealKestsFile);
    actions.dumpWindowList = run(&MenuCommands::dumpWindowList);
    return actions;
}

std::vector<KestRowView::Model> MenuBarController::currentRowModels(std::size_t limit) const {
    return KestRowView::models(LayoutStore::shared().layouts, limit);
}

std::vector<SnapCellView::Model> MenuBarController::currentSnapModels() const {
    std::vector<SnapBinding> bindings = SnapStore::shared().bindings;
    std::stable_sort(bindings.begin(), bindings.end(), [](const SnapBinding& a, const SnapBinding& b) {
        return static_cast<int>(SnapAction::Value(a.action)) < static_cast<int>(SnapAction::Value(b.action));
    });
    std::vector<SnapCellView::Model> cells;
    for (const SnapBinding& binding : bindings) cells.push_back(SnapCellView::model(binding));
    return cells;
}

void MenuBarController::handleSaveLayout() { saveCommand.run(); }

}  // namespace kestr
