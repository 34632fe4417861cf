// The status menu and its Snap and Preferences submenus, built afresh on every right
// click from the store, the active kest, the shortcuts actually registered and the
// permission. Shortcuts are shown as the menu bar's glyphs; they only label the rows,
// the shortcuts themselves are global.
#include <QMenu>
#include <algorithm>

#include "App/AppInfo.h"
#include "App/MenuBarController.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"

namespace kestr {

namespace {

constexpr std::uint32_t returnKeyCode = 36;

// The shortcut as a menu shows it: the modifier glyphs then the key; none for a key a
// menu cannot show.
std::optional<QString> shortcutText(const Hotkey& hotkey) {
    QString key = QString::fromStdString(hotkey.menuKeyEquivalent()).toUpper();
    if (key.isEmpty() && hotkey.keyCode == returnKeyCode) key = "↩";
    if (key.isEmpty()) return std::nullopt;
    QString text;
    if (hotkey.modifiers & 0x1000) text += "⌃";
    if (hotkey.modifiers & 0x800) text += "⌥";
    if (hotkey.modifiers & 0x200) text += "⇧";
    if (hotkey.modifiers & 0x100) text += "⌘";
    return text + key;
}

// A row; its shortcut text shows in the menu's shortcut column.
QAction* addRow(QMenu& menu, const QString& title, std::optional<QString> shortcut = std::nullopt) {
    QAction* action = menu.addAction(shortcut ? title + "\t" + *shortcut : title);
    return action;
}

QAction* addHeading(QMenu& menu, const QString& title) {
    QAction* action = addRow(menu, title);
    action->setEnabled(false);
    return action;
}

const char* groupOf(SnapAction action) {
    using A = SnapAction;
    switch (static_cast<A::Value>(action)) {
        case A::leftHalf: case A::rightHalf: case A::topHalf: case A::bottomHalf: case A::centerHalf:
            return "Halves";
        case A::topLeftQuarter: case A::topRightQuarter: case A::bottomLeftQuarter: case A::bottomRightQuarter:
            return "Quarters";
        case A::firstThird: case A::centerThird: case A::lastThird: case A::firstTwoThirds:
        case A::centerTwoThirds: case A::lastTwoThirds:
            return "Thirds";
        case A::firstFourth: case A::secondFourth: case A::thirdFourth: case A::lastFourth:
        case A::firstThreeFourths: case A::centerThreeFourths: case A::lastThreeFourths:
            return "Fourths";
        case A::topLeftSixth: case A::topCenterSixth: case A::topRightSixth: case A::bottomLeftSixth:
        case A::bottomCenterSixth: case A::bottomRightSixth:
            return "Sixths";
        case A::maximize: case A::almostMaximize: case A::maximizeHeight: case A::center: case A::largerSize:
        case A::smallerSize: case A::restore:
            return "Size";
        case A::moveLeft: case A::moveRight: case A::moveUp: case A::moveDown:
            return "Move";
        case A::nextDisplay: case A::previousDisplay:
            return "Displays";
    }
    return "";
}

}  // namespace

std::unique_ptr<QMenu> MenuBarController::buildMenu(bool trusted) {
    auto menu = std::make_unique<QMenu>();
    const std::weak_ptr<MenuBarController*> weak = self_;
    const auto command = [weak](auto body) {
        return [weak, body] {
            if (auto self = weak.lock()) body(**self);
        };
    };

    addHeading(*menu, QString::fromStdString("kestr " + AppInfo::version() + " (" + AppInfo::build() + ")"));
    menu->addSeparator();
    addHeading(*menu, trusted ? "✓  Accessibility permission OK" : "⚠  Accessibility permission required");
    if (!trusted) {
        menu->addSeparator();
        QObject::connect(addRow(*menu, "Request Accessibility Permission…"), &QAction::triggered,
                         command([](MenuBarController& c) { c.handleRequestPermission(); }));
        QObject::connect(addRow(*menu, "Open Accessibility Settings…"), &QAction::triggered,
                         command([](MenuBarController& c) { c.handleOpenAccessibilitySettings(); }));
    }
    menu->addSeparator();

    if (const auto& active = EdgeProximityTracker::shared().activeLayout) {
        addHeading(*menu, QString::fromStdString("● Active kest: " + active->name));
        QObject::connect(addRow(*menu, "Release Kest (free editing)"), &QAction::triggered,
                         command([](MenuBarController& c) { c.releaseKest(); }));
        menu->addSeparator();
    }

    const auto& layouts = LayoutStore::shared().layouts;
    if (layouts.empty()) {
        addHeading(*menu, "No saved kests");
    } else {
        addHeading(*menu, "Apply Kest");
        for (const Layout& layout : layouts) {
            const auto hotkey = HotkeyManager::shared().effectiveHotkey(layout.id);
            QAction* row = addRow(*menu, QString::fromStdString("  " + layout.name),
                                  hotkey ? shortcutText(*hotkey) : std::nullopt);
            row->setEnabled(trusted && !layout.items.empty());
            row->setToolTip("Reposition open windows and reopen any that were closed");
            row->setData(QString::fromStdString(layout.id.string()));
            const Uuid id = layout.id;
            QObject::connect(row, &QAction::triggered, command([id](MenuBarController& c) {
                                 c.applyKest(id, LayoutApplier::ApplyMode::restoreMissing);
                             }));
        }
    }
    // The shortcut that capture actually has now (it can be changed, or refused).
    const auto capture = HotkeyManager::shared().captureHotkey();
    QAction* save = addRow(*menu, "Save Current Arrangement as Kest…", capture ? shortcutText(*capture) : std::nullopt);
    save->setEnabled(trusted);
    QObject::connect(save, &QAction::triggered, command([](MenuBarController& c) { c.handleSaveLayout(); }));
    QObject::connect(addRow(*menu, "Manage Kests…"), &QAction::triggered,
                     command([](MenuBarController& c) { c.handleManageLayouts(LayoutEditorWindow::Tab::kests); }));
    menu->addSeparator();

    QMenu* snap = buildSnapSubmenu(trusted).release();
    snap->setParent(menu.get(), snap->windowFlags());
    snap->setTitle("Snap");
    menu->addMenu(snap);
    QMenu* preferences = buildPreferencesSubmenu().release();
    preferences->setParent(menu.get(), preferences->windowFlags());
    preferences->setTitle("Preferences");
    menu->addMenu(preferences);
    QObject::connect(addRow(*menu, "Check for Updates…"), &QAction::triggered,
                     command([](MenuBarController& c) { c.handleCheckForUpdates(); }));
    menu->addSeparator();
    QObject::connect(addRow(*menu, "Quit kestr", QString("⌘Q")), &QAction::triggered,
                     [] { platform().application().terminate(); });
    return menu;
}

std::unique_ptr<QMenu> MenuBarController::buildSnapSubmenu(bool trusted) {
    auto menu = std::make_unique<QMenu>();
    const std::weak_ptr<MenuBarController*> weak = self_;
    std::vector<SnapBinding> bindings = SnapStore::shared().bindings;
    std::stable_sort(bindings.begin(), bindings.end(), [](const SnapBinding& a, const SnapBinding& b) {
        const std::string ga = groupOf(a.action), gb = groupOf(b.action);
        if (ga != gb) return ga < gb;
        return a.action.rawValue() < b.action.rawValue();
    });
    if (bindings.empty()) addHeading(*menu, "No snap shortcuts");
    for (const SnapBinding& binding : bindings) {
        QAction* row = addRow(*menu, QString::fromStdString("  " + binding.action.displayName()),
                              shortcutText(binding.hotkey));
        row->setEnabled(trusted);
        row->setData(QString::fromStdString(binding.action.rawValue()));
        const SnapAction action = binding.action;
        QObject::connect(row, &QAction::triggered, [weak, action] {
            auto self = weak.lock();
            if (!self || !(*self)->permission.isTrusted) return;
            if ((*self)->kestPanel_) (*self)->kestPanel_->hide();
            (*self)->applySnapAction(action);
        });
    }
    menu->addSeparator();
    const auto openSnaps = [weak] {
        if (auto self = weak.lock()) (*self)->handleManageLayouts(LayoutEditorWindow::Tab::snaps);
    };
    QObject::connect(addRow(*menu, "Configure Snap Shortcuts…"), &QAction::triggered, openSnaps);
    QObject::connect(addRow(*menu, "Reset to Default Shortcuts"), &QAction::triggered, [weak] {
        if (auto self = weak.lock()) (*self)->handleRestoreMagnetDefaults();
    });
    QObject::connect(addRow(*menu, "Import from Magnet / Rectangle…"), &QAction::triggered, openSnaps);
    return menu;
}

std::unique_ptr<QMenu> MenuBarController::buildPreferencesSubmenu() {
    auto menu = std::make_unique<QMenu>();
    const std::weak_ptr<MenuBarController*> weak = self_;
    QAction* dragSnap = addRow(*menu, "Drag Snap (drag a window to fit a kest)");
    dragSnap->setCheckable(true);
    dragSnap->setChecked(Preferences::shared().boolValue("kestr.enableDragSnap"));
    dragSnap->setToolTip(
        "When on, the last applied kest's slots appear as white highlights only while you hold the drag modifier "
        "(⌘ by default) — drop on a slot to fit it there. Drag without the modifier for free placement. (Modifier "
        "is set in Manage Kests → Shortcuts.)");
    QObject::connect(dragSnap, &QAction::triggered, [weak] {
        if (auto self = weak.lock()) (*self)->handleToggleDragSnap();
    });
    // Two commands the menus had no row for.
    QObject::connect(addRow(*menu, "Reveal Kests File"), &QAction::triggered, [weak] {
        if (auto self = weak.lock()) (*self)->handleRevealLayoutsFile();
    });
    QObject::connect(addRow(*menu, "Dump Window List"), &QAction::triggered, [weak] {
        if (auto self = weak.lock()) (*self)->handleDumpWindows();
    });
    return menu;
}

}  // namespace kestr
