// The status menu built on the simulated desktop: its rows trusted and not, with and
// without kests and an active kest, the shortcut labels, the Snap and Preferences
// submenus, and what choosing rows does.
#include <gmock/gmock.h>

#include <QMenu>

#include "App/AppInfo.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "MenuBarTest.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"

namespace kestr {
namespace {

class StatusMenuTest : public test::MenuBarTest {
protected:
    // Each row's text, "-" for a separator, "[x]" before a disabled one.
    static std::vector<std::string> rows(QMenu& menu) {
        std::vector<std::string> out;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator()) {
                out.push_back("-");
            } else {
                out.push_back((action->isEnabled() ? "" : "[x]") + action->text().toStdString());
            }
        }
        return out;
    }
    static QAction* row(QMenu& menu, const QString& startsWith) {
        for (QAction* action : menu.actions())
            if (action->text().startsWith(startsWith)) return action;
        return nullptr;
    }
    static Layout kest(const std::string& name, std::optional<Hotkey> hotkey, bool withItem = true) {
        return kestOfNotes(name, hotkey, withItem);
    }
    void sync() { HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings); }
    const std::string header = "[x]kestr " + AppInfo::version() + " (" + AppInfo::build() + ")";
};

TEST_F(StatusMenuTest, RowsTrustedWithoutKestsAndUntrustedWithKests) {
    sync();
    makeController();
    auto menu = controller->buildMenu(true);
    EXPECT_EQ(rows(*menu), (std::vector<std::string>{header, "-", "[x]✓  Accessibility permission OK", "-",
                                                     "[x]No saved kests", "Save Current Arrangement as Kest…\t⌃⌥⌘↩",
                                                     "Manage Kests…", "-", "Snap", "Preferences",
                                                     "Check for Updates…", "-", "Quit kestr\t⌘Q"}));

    LayoutStore::shared().layouts = {kest("Coding", Hotkey{18, 0x1800}), kest("Empty", std::nullopt, false),
                                     kest("Coding", Hotkey{122, 0x1000})};
    // Another program holds the capture shortcut: the save row shows none.
    sim->simHotKeys().holdByOtherProgram(36, 0x1900);
    sync();
    menu = controller->buildMenu(false);
    EXPECT_EQ(rows(*menu), (std::vector<std::string>{header, "-", "[x]⚠  Accessibility permission required", "-",
                                                     "Request Accessibility Permission…",
                                                     "Open Accessibility Settings…", "-", "[x]Apply Kest",
                                                     "[x]  Coding\t⌃⌥1", "[x]  Empty\t⌃⌥⌘1", "[x]  Coding",
                                                     "[x]Save Current Arrangement as Kest…", "Manage Kests…", "-",
                                                     "Snap", "Preferences", "Check for Updates…", "-",
                                                     "Quit kestr\t⌘Q"}))
        << "F1 has no menu key; the kest without a hot key of its own gets an automatic one";
    menu = controller->buildMenu(true);
    EXPECT_FALSE(row(*menu, "  Empty")->isEnabled()) << "a kest without items cannot be applied";
    EXPECT_TRUE(row(*menu, "  Coding")->isEnabled());
    EXPECT_EQ(row(*menu, "  Coding")->toolTip(), "Reposition open windows and reopen any that were closed");
}

TEST_F(StatusMenuTest, ChoosingAKestAppliesItAndReleaseFreesIt) {
    LayoutStore::shared().layouts = {kest("Notes left", std::nullopt)};
    sync();
    makeController();
    row(*controller->buildMenu(true), "  Notes left")->trigger();
    advance(1);
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(shownDescription(), "kestr (applied)");

    auto menu = controller->buildMenu(true);
    EXPECT_EQ(row(*menu, "●")->text(), "● Active kest: Notes left");
    row(*menu, "Release Kest")->trigger();
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_FALSE(row(*controller->buildMenu(true), "●"));
    advance(2);
    EXPECT_EQ(shownDescription(), "kestr");

    // Without the permission the command does nothing.
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    controller->applyKest(LayoutStore::shared().layouts[0].id, LayoutApplier::ApplyMode::restoreMissing);
    advance(5);
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout);
}

TEST_F(StatusMenuTest, AnApplyDroppedWhileAnotherRunsChangesNothing) {
    LayoutStore::shared().layouts = {kest("First", std::nullopt), kest("Second", std::nullopt)};
    makeController();
    // Chrome launches slowly: the first apply is still running when the second comes.
    LayoutStore::shared().layouts[0].items[0].appBundleID = "com.apple.Safari";
    LayoutStore::shared().layouts[0].items[0].launchIfMissing = true;
    controller->applyKest(LayoutStore::shared().layouts[0].id, LayoutApplier::ApplyMode::restoreMissing);
    controller->applyKest(LayoutStore::shared().layouts[1].id, LayoutApplier::ApplyMode::restoreMissing);
    sim->virtualTime().runPending();
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout) << "the dropped apply made nothing active";
    EXPECT_EQ(shownDescription(), "kestr") << "and flashed nothing";
    advance(30);
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->name, "First");
}

TEST_F(StatusMenuTest, SnapSubmenuOrderAndPreferences) {
    SnapStore& snaps = SnapStore::shared();
    snaps.bindings = {{Uuid::random(), SnapAction::topHalf, Hotkey{126, 0x1800}},
                      {Uuid::random(), SnapAction::nextDisplay, Hotkey{124, 0x1900}},
                      {Uuid::random(), SnapAction::maximize, Hotkey{36, 0x1800}},
                      {Uuid::random(), SnapAction::topHalf, Hotkey{32, 0x1800}}};
    makeController();
    auto menu = controller->buildSnapSubmenu(true);
    const auto r = rows(*menu);
    ASSERT_EQ(r.size(), 8u);
    EXPECT_THAT(r[0], testing::StartsWith("  " + SnapAction(SnapAction::nextDisplay).displayName()));
    EXPECT_THAT(r[1], testing::StartsWith("  " + SnapAction(SnapAction::topHalf).displayName()));
    EXPECT_THAT(r[2], testing::EndsWith("\t⌃⌥U")) << "two of one action keep their stored order";
    EXPECT_EQ(r[3], "  " + SnapAction(SnapAction::maximize).displayName() + "\t⌃⌥↩");
    EXPECT_EQ(std::vector<std::string>(r.begin() + 4, r.end()),
              (std::vector<std::string>{"-", "Configure Snap Shortcuts…", "Reset to Default Shortcuts",
                                        "Import from Magnet / Rectangle…"}));
    EXPECT_FALSE(controller->buildSnapSubmenu(false)->actions()[0]->isEnabled());
    snaps.bindings.clear();
    EXPECT_EQ(rows(*controller->buildSnapSubmenu(true))[0], "[x]No snap shortcuts");

    // Drag snap toggled twice comes back to where it was.
    auto preferences = controller->buildPreferencesSubmenu();
    QAction* dragSnap = preferences->actions()[0];
    EXPECT_FALSE(dragSnap->isChecked());
    dragSnap->trigger();
    EXPECT_TRUE(Preferences::shared().boolValue("kestr.enableDragSnap"));
    EXPECT_TRUE(WindowDragTracker::shared().enabled);
    EXPECT_TRUE(controller->buildPreferencesSubmenu()->actions()[0]->isChecked());
    controller->buildPreferencesSubmenu()->actions()[0]->trigger();
    EXPECT_FALSE(Preferences::shared().boolValue("kestr.enableDragSnap"));
    EXPECT_FALSE(WindowDragTracker::shared().enabled);
    EXPECT_EQ(rows(*preferences)[1], "Reveal Kests File");
    EXPECT_EQ(rows(*preferences)[2], "Dump Window List");
}

TEST_F(StatusMenuTest, RevealAndDumpShowTheirFilesInTheFileManager) {
    makeController();
    const std::string kests = LayoutStore::shared().fileURL;
    controller->handleRevealLayoutsFile();
    const std::string folder = kests.substr(0, kests.rfind('/'));
    EXPECT_TRUE(sim->files().isDirectory(folder)) << "created so there is something to show";
    EXPECT_EQ(sim->simWorkspace().fileViewerSelections().back(), std::vector<std::string>{folder});
    LayoutStore::shared().save();
    controller->handleRevealLayoutsFile();
    EXPECT_EQ(sim->simWorkspace().fileViewerSelections().back(), std::vector<std::string>{kests});

    controller->handleDumpWindows();
    const std::string dump = sim->files().homeDirectory() + "/Desktop/kestr-windows.txt";
    EXPECT_THAT(sim->files().read(dump), testing::StartsWith("================ kestr Window Dump"));
    EXPECT_EQ(sim->simWorkspace().fileViewerSelections().back(), std::vector<std::string>{dump});
    sim->simFiles().failOperation(FileOperation::atomicWrite, "kestr-windows");
    const auto selections = sim->simWorkspace().fileViewerSelections().size();
    controller->handleDumpWindows();
    EXPECT_EQ(sim->simWorkspace().fileViewerSelections().size(), selections);
}

TEST_F(StatusMenuTest, RestoringDefaultShortcutsConfirmedCancelledRefusedAndUnsaved) {
    makeController();
    SnapStore& snaps = SnapStore::shared();
    snaps.bindings = {{Uuid::random(), SnapAction::leftHalf, Hotkey{0, 0x1800}}};
    sim->simAlerts().answers = {alertFirstButtonReturn + 1};
    controller->handleRestoreMagnetDefaults();
    EXPECT_EQ(snaps.bindings.size(), 1u);
    EXPECT_FALSE(sim->files().exists(snaps.fileURL));

    // Another program holds the left-half default.
    const auto defaults = SnapDefaults::magnetBindings();
    const SnapBinding leftHalf = *std::find_if(defaults.begin(), defaults.end(),
                                               [](const SnapBinding& b) { return b.action == SnapAction::leftHalf; });
    sim->simHotKeys().holdByOtherProgram(leftHalf.hotkey.keyCode, leftHalf.hotkey.modifiers);
    sim->simAlerts().requests.clear();
    controller->handleRestoreMagnetDefaults();
    EXPECT_EQ(snaps.bindings.size(), 41u);
    EXPECT_TRUE(sim->files().exists(snaps.fileURL));
    ASSERT_EQ(sim->simAlerts().requests.size(), 2u);
    const AlertRequest& done = sim->simAlerts().requests[1];
    EXPECT_EQ(done.style, AlertStyle::warning);
    EXPECT_EQ(done.informativeText,
              "However, these shortcuts couldn't be registered because another app already uses them: " +
                  SnapAction(SnapAction::leftHalf).displayName());

    sim->simHotKeys().releaseByOtherProgram(leftHalf.hotkey.keyCode, leftHalf.hotkey.modifiers);
    sim->simFiles().failOperation(FileOperation::atomicWrite, "snaps.json");
    sim->simAlerts().requests.clear();
    controller->handleRestoreMagnetDefaults();
    const AlertRequest& unsaved = sim->simAlerts().requests.at(1);
    EXPECT_EQ(unsaved.style, AlertStyle::warning);
    EXPECT_THAT(unsaved.informativeText, testing::HasSubstr("in use until kestr quits, but they couldn't be saved"));
}

}  // namespace
}  // namespace kestr
