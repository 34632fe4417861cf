// A shortcut whose keys another program keeps, or another of kestr's shortcuts took first,
// is shown the same way wherever kestr shows shortcuts: the menus, the panel's rows and snap
// cells, and the manager's list, pages and Snaps section.
#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "Snap/SnapStore.h"
#include "Support/SampleKests.h"
#include "Support/SimTest.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/KestListView.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Manager/SidebarFooterButton.h"
#include "UI/Panel/KestRowView.h"
#include "UI/Shell/StatusMenu.h"
#include "UI/Snap/SnapCellView.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapShortcutsView.h"

namespace kestr::test {
namespace {

class ShortcutsThatNeverArriveTest : public SimTest {
protected:
    // A place that shows a shortcut: what it shows, and what it should.
    struct Shown {
        const char* place;
        std::optional<std::string> shown;
        std::string expected;
    };

    // The menu entry, in the menu or a submenu, whose title starts with `title`.
    static QAction* entry(const QMenu& menu, const QString& title) {
        for (QAction* a : menu.actions()) {
            if (a->menu()) {
                if (QAction* inner = entry(*a->menu(), title)) return inner;
            } else if (a->text().trimmed().startsWith(title)) {
                return a;
            }
        }
        return nullptr;
    }
};

TEST_F(ShortcutsThatNeverArriveTest, EveryPlaceMarksTheShortcutsAHeldModifierSwallows) {
    const Layout kest = sampleKest(1, 1);
    LayoutStore::shared().layouts = {kest};
    const Hotkey superHeld{123, CarbonModifier::control | CarbonModifier::option};
    const Hotkey free{124, CarbonModifier::command | CarbonModifier::option};
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::leftHalf, superHeld},
                                    SnapBinding{Uuid::random(), SnapAction::rightHalf, free}};
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    sim->simHotKeys().holder = ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences"};
    HotkeyManager& hotkeys = HotkeyManager::shared();
    hotkeys.sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    const Hotkey kestKeys = *hotkeys.effectiveHotkey(kest.id);
    const std::string why = "IceWM keeps the \u2303 Control key for itself, so this shortcut never reaches kestr";
    const auto marked = [](const Hotkey& h) { return "\u26A0 " + h.displayString(); };

    const auto menu = StatusMenu::build(true, {});
    KestListModel sidebar(LayoutStore::shared());
    const QModelIndex row = sidebar.index(0, 0);
    ShortcutRecorderView recorder;
    recorder.setHotkey(kestKeys, false);
    const Shown places[] = {
        {"kest row of the menu", entry(*menu, "\u2068Kest 1")->text().section('\t', 1).toStdString(), marked(kestKeys)},
        {"save row of the menu", entry(*menu, "Save Current")->text().section('\t', 1).toStdString(),
         marked(*hotkeys.captureHotkey())},
        {"snap submenu", entry(*menu, "Left Half")->text().section('\t', 1).toStdString(), marked(superHeld)},
        {"snap submenu, a shortcut that arrives", entry(*menu, "Right Half")->text().section('\t', 1).toStdString(),
         free.displayString()},
        {"panel row", KestRowView::models(LayoutStore::shared().layouts).at(0).hotkey, marked(kestKeys)},
        {"snap cell", SnapCellView::model(SnapStore::shared().bindings[0]).hotkey, marked(superHeld)},
        {"snap cell, short", SnapCellView::model(SnapStore::shared().bindings[0]).shortHotkey,
         "\u26A0 " + superHeld.shortDisplayString()},
        {"sidebar", sidebar.data(row, KestListModel::hotkeyTextRole).toString().toStdString(), marked(kestKeys)},
        {"kest page's recorder", recorder.text().toStdString(), marked(kestKeys)},
        {"sidebar tooltip", sidebar.data(row, Qt::ToolTipRole).toString().toStdString(), why},
        {"kest row tooltip", entry(*menu, "\u2068Kest 1")->toolTip().toStdString(),
         "Reposition open windows and reopen any that were closed\n" + why},
        {"snap tooltip", entry(*menu, "Left Half")->toolTip().toStdString(), why},
    };
    for (const auto& p : places) EXPECT_EQ(p.shown, p.expected) << p.place;
    // A tray would show the keys as usable: only those that arrive are handed to it.
    EXPECT_TRUE(entry(*menu, "\u2068Kest 1")->shortcut().isEmpty());
    EXPECT_TRUE(entry(*menu, "Left Half")->shortcut().isEmpty());
    EXPECT_FALSE(entry(*menu, "Right Half")->shortcut().isEmpty());
}

// A kest pinned to the Top Left snap's keys takes them first: a press of them never snaps,
// never runs a second kest pinned to them, never saves. Each place that shows those keys
// for the snap, the second kest or the capture shortcut marks them and says why.
TEST_F(ShortcutsThatNeverArriveTest, EveryPlaceMarksKeysAnotherOfKestrsShortcutsTookFirst) {
    const Hotkey keys{32, CarbonModifier::control | CarbonModifier::option};
    Layout first = sampleKest(1, 1);
    Layout second = sampleKest(2, 1);
    first.hotkey = second.hotkey = keys;
    LayoutStore::shared().layouts = {first, second};
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::topLeftQuarter, keys}};
    Preferences::shared().setCaptureHotkey(keys);
    HotkeyManager& hotkeys = HotkeyManager::shared();
    hotkeys.sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    const std::string marked = "\u26A0 " + keys.displayString();
    const auto why = [&](const HotkeySource& source) { return *hotkeys.whyNotArriving(keys, source); };
    const auto snap = HotkeySource::snap(SnapAction::topLeftQuarter);

    const auto menu = StatusMenu::build(true, {});
    const SnapCellView::Model cell = SnapCellView::model(SnapStore::shared().bindings[0]);
    SnapShortcutsView snaps;
    snaps.refresh();
    const int row = static_cast<int>(SnapAction::topLeftQuarter);
    ShortcutRecorderView* snapRecorder = snaps.recorder(row);
    LayoutEditorWindow& manager = LayoutEditorWindow::shared();
    manager.show(LayoutEditorWindow::Tab::kests);
    const std::string footer = manager.sidebarFooter()->hotkeyLabel()->text().toStdString();
    const KestListModel& sidebar = *manager.listModel();
    manager.layoutTable()->setCurrentIndex(sidebar.index(1));
    const std::string secondsPage = manager.hotkeyRecorder()->text().toStdString();
    const std::string secondsPageTip = manager.hotkeyRecorder()->toolTip().toStdString();
    const bool pinned = manager.pinSwitch()->isChecked();
    manager.selectCaptureSettings();
    const auto secondsRow = [&](int role) { return sidebar.data(sidebar.index(1), role).toString().toStdString(); };
    QAction* secondInMenu = entry(*menu, "\u2068Kest 2");
    const Shown places[] = {
        {"snap submenu", entry(*menu, "Top Left")->text().section('\t', 1).toStdString(), marked},
        {"snap cell", cell.hotkey, marked},
        {"snap cell, short", cell.shortHotkey, "\u26A0 " + keys.shortDisplayString()},
        {"Snaps section", snaps.text(1, row).toStdString(), marked},
        {"Snaps section tooltip", snapRecorder->toolTip().toStdString(), why(snap)},
        {"panel row of the second kest", KestRowView::models(LayoutStore::shared().layouts).at(1).hotkey, marked},
        {"panel row of the first kest", KestRowView::models(LayoutStore::shared().layouts).at(0).hotkey,
         keys.displayString()},
        {"menu row of the second kest", secondInMenu->text().section('\t', 1).toStdString(), marked},
        {"menu row tooltip", secondInMenu->toolTip().toStdString(),
         "Reposition open windows and reopen any that were closed\n" + why(HotkeySource::layout(second.id))},
        {"sidebar row of the second kest", secondsRow(KestListModel::hotkeyTextRole), marked},
        {"sidebar tooltip", secondsRow(Qt::ToolTipRole), why(HotkeySource::layout(second.id))},
        {"second kest's page", secondsPage, marked},
        {"second kest's page tooltip", secondsPageTip, why(HotkeySource::layout(second.id))},
        {"manager's settings button", footer, marked},
        {"capture settings", manager.captureRecorder()->text().toStdString(), marked},
        {"capture settings tooltip", manager.captureRecorder()->toolTip().toStdString(),
         why(HotkeySource::captureCurrent())},
    };
    for (const auto& p : places) EXPECT_EQ(p.shown, p.expected) << p.place;
    EXPECT_NE(why(snap).find("uses this shortcut"), std::string::npos) << why(snap);
    EXPECT_EQ(why(HotkeySource::layout(second.id)),
              "kestr's kest “\u2068Kest 1 / main\u2069” uses this shortcut, so it "
              "never runs this");
    EXPECT_TRUE(pinned);
    EXPECT_TRUE(secondInMenu->shortcut().isEmpty()) << "not handed to a tray as usable";
}

// A pinned kest's or a snap's key this keyboard does not have is refused by the desktop:
// each place shows it marked, with why, rather than unmarked or not at all.
TEST_F(ShortcutsThatNeverArriveTest, EveryPlaceMarksKeysTheKeyboardLacks) {
    const Hotkey missing{16, CarbonModifier::control | CarbonModifier::option};
    sim->simHotKeys().missingKeys = {missing.keyCode};
    Layout kest = sampleKest(1, 1);
    kest.hotkey = missing;
    LayoutStore::shared().layouts = {kest};
    SnapStore::shared().bindings = {SnapBinding{Uuid::random(), SnapAction::leftHalf, missing}};
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    const std::string marked = "\u26A0 " + missing.displayString();
    const std::string why = "This keyboard has no key for this shortcut, so it never reaches kestr";

    const auto menu = StatusMenu::build(true, {});
    KestListModel sidebar(LayoutStore::shared());
    LayoutEditorWindow& manager = LayoutEditorWindow::shared();
    manager.show(LayoutEditorWindow::Tab::kests);
    manager.layoutTable()->setCurrentIndex(manager.listModel()->index(0));
    const Shown places[] = {
        {"kest row of the menu", entry(*menu, "\u2068Kest 1")->text().section('\t', 1).toStdString(), marked},
        {"snap submenu", entry(*menu, "Left Half")->text().section('\t', 1).toStdString(), marked},
        {"panel row", KestRowView::models(LayoutStore::shared().layouts).at(0).hotkey, marked},
        {"snap cell", SnapCellView::model(SnapStore::shared().bindings[0]).hotkey, marked},
        {"sidebar", sidebar.data(sidebar.index(0, 0), KestListModel::hotkeyTextRole).toString().toStdString(), marked},
        {"sidebar tooltip", sidebar.data(sidebar.index(0, 0), Qt::ToolTipRole).toString().toStdString(), why},
        {"kest page", manager.hotkeyRecorder()->text().toStdString(), marked},
        {"snap tooltip", entry(*menu, "Left Half")->toolTip().toStdString(), why},
    };
    for (const auto& p : places) EXPECT_EQ(p.shown, p.expected) << p.place;
    EXPECT_TRUE(HotkeyManager::shared().heldByOtherPrograms.empty()) << "no other program holds it";
}

}  // namespace
}  // namespace kestr::test
