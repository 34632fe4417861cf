#include "App/MenuCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Core/HotkeyManager.h"
#include "Core/KestSaveFailure.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Platform/X11/X11Wording.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"
#include "Support/ActiveKestTest.h"
#include "Support/CapturedOutput.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Shell/StatusMenu.h"

namespace kestr::test {
namespace {

// The split kest of ActiveKestTest stored, the permission granted, and what the commands
// ask of the menu-bar controller counted.
class MenuCommandsTest : public ActiveKestTest {
protected:
    void SetUp() override {
        ActiveKestTest::SetUp();
        sim->world().trusted = true;
        PermissionManager::shared().refresh();
        LayoutStore::shared().layouts = {kest};
        commands.rebuildMenu = [this] { ++rebuilds; };
        commands.flashApplied = [this] { ++flashes; };
        commands.hidePanel = [this] { ++panelHides; };
        commands.statusButtonDisplay = [this] { return buttonDisplay; };
        commands.console = &console;
    }

    std::optional<Layout>& active() { return EdgeProximityTracker::shared().activeLayout; }
    const std::vector<std::string>& lines() { return sim->simLog().lines(); }
    const std::vector<AlertRequest>& alerts() { return sim->simAlerts().requests; }
    const std::vector<std::vector<std::string>>& revealed() { return sim->simWorkspace().fileViewerSelections(); }
    void scatterWindows() {
        left->windows[0].position = Point{300, 300};
        right->windows[0].position = Point{400, 300};
    }

    MenuCommands commands;
    CapturedOutput console;
    std::optional<DisplayID> buttonDisplay;
    int rebuilds = 0;
    int flashes = 0;
    int panelHides = 0;
};

TEST_F(MenuCommandsTest, ApplyingAKestPlacesItOnTheStatusButtonsDisplayAndMakesItActive) {
    scatterWindows();
    commands.applyKest(kest.id, LayoutApplier::ApplyMode::restoreMissing);
    EXPECT_EQ(panelHides, 1);
    sim->virtualTime().advance(5);

    EXPECT_EQ(left->windows[0].frame(), Rect(0, 25, 720, 875));
    EXPECT_EQ(right->windows[0].frame(), Rect(720, 25, 720, 875));
    ASSERT_TRUE(active());
    EXPECT_EQ(active()->id, kest.id);
    EXPECT_FALSE(EdgeOverlayManager::shared().groupsByDisplay.empty()) << "the overlays hold its edges";
    EXPECT_EQ(flashes, 1);

    // The status item sits on the second display: the one-display kest goes there,
    // whatever display the pointer is on.
    buttonDisplay = 2;
    commands.applyKest(kest.id, LayoutApplier::ApplyMode::restoreMissing);
    sim->virtualTime().advance(60);
    EXPECT_GE(left->windows[0].position.x, 1440);
    EXPECT_EQ(flashes, 2);
}

TEST_F(MenuCommandsTest, AnApplyDroppedWhileAnotherRunsChangesNothing) {
    AppBuilder(*sim, "com.example.slow", "Slow").firstWindowDelay(3).install();
    Layout slow;
    slow.id.bytes[0] = 0x51;
    slow.name = "Slow";
    slow.items = {kestItem("com.example.slow", frameOn(1, 0, 25, 700, 500), 9)};
    slow.items[0].launchIfMissing = true;
    LayoutStore::shared().layouts.push_back(slow);

    commands.applyKest(slow.id, LayoutApplier::ApplyMode::restoreMissing);
    sim->virtualTime().runPending();
    commands.applyKest(kest.id, LayoutApplier::ApplyMode::restoreMissing);
    sim->virtualTime().runPending();
    EXPECT_FALSE(active()) << "the dropped apply activates nothing";
    EXPECT_EQ(flashes, 0);
    EXPECT_EQ(lines().back(), "kestr[apply restoreMissing]: dropped re-entrant apply (one already in flight)");

    sim->virtualTime().advance(30);
    ASSERT_TRUE(active());
    EXPECT_EQ(active()->id, slow.id);
    EXPECT_EQ(flashes, 1);
}

TEST_F(MenuCommandsTest, AnApplyThatPlacesNothingStillActivates) {
    Layout gone;
    gone.id.bytes[0] = 0x52;
    gone.name = "Gone";
    gone.items = {kestItem("com.example.uninstalled", frameOn(1, 0, 25, 700, 500), 9)};
    LayoutStore::shared().layouts.push_back(gone);
    commands.applyKest(gone.id, LayoutApplier::ApplyMode::freshWindows);
    sim->virtualTime().advance(30);
    ASSERT_TRUE(active());
    EXPECT_EQ(active()->id, gone.id);
    EXPECT_EQ(flashes, 1);
}

TEST_F(MenuCommandsTest, WithoutPermissionOrForAnUnknownKestNothingHappens) {
    Uuid unknown;
    unknown.bytes[0] = 0x99;
    commands.applyKest(unknown, LayoutApplier::ApplyMode::restoreMissing);
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    scatterWindows();
    commands.applyKest(kest.id, LayoutApplier::ApplyMode::restoreMissing);
    commands.applySnap(SnapAction::leftHalf);
    sim->virtualTime().advance(5);
    EXPECT_EQ(left->windows[0].position, (Point{300, 300}));
    EXPECT_FALSE(active());
    EXPECT_EQ(panelHides + flashes, 0);
}

TEST_F(MenuCommandsTest, ReleasingForgetsTheActiveKestAndItsHandles) {
    commands.releaseKest();
    EXPECT_FALSE(active()) << "nothing active: still nothing";

    EdgeProximityTracker::shared().setActiveLayout(kest);
    EdgeOverlayManager::shared().setActiveLayout(kest);
    commands.releaseKest();
    EXPECT_FALSE(active());
    EXPECT_TRUE(EdgeProximityTracker::shared().heldEdgesByDisplay.empty());
    for (const auto& [display, groups] : EdgeOverlayManager::shared().groupsByDisplay) EXPECT_TRUE(groups.empty());
}

TEST_F(MenuCommandsTest, SnapsTheFocusedWindowByNameAndLogsAFailure) {
    commands.applySnap("noSuchAction");
    EXPECT_EQ(panelHides, 0);

    commands.applySnap("leftHalf");
    EXPECT_EQ(panelHides, 1);
    sim->virtualTime().advance(1);
    EXPECT_EQ(lines().back(), "kestr: snap 'leftHalf' failed: No focused window");

    sim->world().frontmostPid = right->pid;
    commands.applySnap("leftHalf");
    sim->virtualTime().advance(1);
    EXPECT_EQ(right->windows[0].frame(), Rect(0, 25, 720, 875));
}

TEST_F(MenuCommandsTest, RestoringTheDefaultShortcuts) {
    auto& snaps = SnapStore::shared().bindings;
    const SnapBinding own{Uuid::random(), SnapAction::leftHalf, {0, 0x1A00}};
    snaps = {own};
    const std::string file = SnapStore::shared().fileURL;

    sim->simAlerts().answers = {alertFirstButtonReturn + 1};
    commands.restoreDefaultShortcuts();
    EXPECT_EQ(snaps, std::vector<SnapBinding>{own}) << "cancelled";
    EXPECT_FALSE(sim->simFiles().exists(file));
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].messageText, "Reset to default shortcuts?");
    EXPECT_EQ(alerts()[0].buttons, (std::vector<std::string>{"Reset", "Cancel"}));

    commands.restoreDefaultShortcuts();
    EXPECT_EQ(snaps.size(), SnapDefaults::magnetBindings().size());
    EXPECT_TRUE(sim->simFiles().exists(file));
    EXPECT_EQ(rebuilds, 1);
    ASSERT_EQ(alerts().size(), 3u);
    EXPECT_EQ(alerts()[2], (AlertRequest{AlertStyle::informational,
                                         "Reset to default shortcuts",
                                         "You can now arrange windows with ⌃⌥ + arrows / U·I·J·K, etc.",
                                         {"OK"},
                                         {}}));

    // Another program holds the default of one action.
    const SnapBinding held = SnapDefaults::magnetBindings()[0];
    sim->simHotKeys().holdByOtherProgram(held.hotkey.keyCode, held.hotkey.modifiers);
    commands.restoreDefaultShortcuts();
    EXPECT_EQ(alerts().back().style, AlertStyle::warning);
    EXPECT_EQ(alerts().back().informativeText,
              "However, these shortcuts couldn't be registered because another app already uses them: " +
                  held.action.displayName());

    // One of kestr's own kests holds the default of another: named, not blamed on an app,
    // its name from the kest file shown cleaned and isolated.
    const SnapBinding taken = SnapDefaults::magnetBindings()[1];
    Layout work;
    work.id = Uuid::random();
    work.name = "Work\a\u202E";
    work.hotkey = taken.hotkey;
    LayoutStore::shared().layouts = {work};
    commands.restoreDefaultShortcuts();
    EXPECT_EQ(alerts().back().informativeText,
              "However, these shortcuts couldn't be registered because another app already uses them: " +
                  held.action.displayName() +
                  "\n\nHowever, these shortcuts couldn't be registered because kestr already uses them: " +
                  taken.action.displayName() + " (kest “\u2068Work��\u2069”)");
}

TEST_F(MenuCommandsTest, ARestoreThatCannotBeSavedSaysSo) {
    SnapStore::shared().bindings.clear();
    sim->simFiles().failOperation(FileOperation::atomicWrite, "snaps.json");
    commands.restoreDefaultShortcuts();

    EXPECT_EQ(std::count_if(
                  lines().begin(), lines().end(),
                  [](const std::string& l) { return l.starts_with("kestr: failed to save restored snap defaults: "); }),
              1);
    EXPECT_FALSE(sim->simFiles().exists(SnapStore::shared().fileURL));
    const SnapBinding first = SnapDefaults::magnetBindings()[0];
    EXPECT_TRUE(sim->simHotKeys().pressHotKey(first.hotkey.keyCode, first.hotkey.modifiers))
        << "the defaults work until kestr quits";
    std::cerr << first.action.rawValue() << " " << first.hotkey.keyCode << " " << first.hotkey.modifiers << "\n";
    const AlertRequest& report = alerts().back();
    EXPECT_EQ(report.style, AlertStyle::warning);
    EXPECT_EQ(report.informativeText,
              "The default shortcuts are in use until kestr quits, but they couldn't be saved, so kestr will start "
              "with your previous shortcuts next time. Technical details are in Console.");
    EXPECT_EQ(rebuilds, 1);

    // A Linux desktop has no Console: its alerts name the system log, where the lines went.
    X11Wording words;
    sim->otherWording = &words;
    const std::string x11Details = "Technical details are in the system log, under “kestr”.";
    sim->simFiles().failOperation(FileOperation::atomicWrite, "snaps.json");
    commands.restoreDefaultShortcuts();
    EXPECT_TRUE(alerts().back().informativeText.ends_with("next time. " + x11Details))
        << alerts().back().informativeText;
    reportKestSaveFailure(FileError("cannot write layouts.json: No space left on device"));
    EXPECT_TRUE(alerts().back().informativeText.ends_with("isn't writable. " + x11Details))
        << alerts().back().informativeText;
    sim->otherWording = nullptr;
}

TEST_F(MenuCommandsTest, DragSnapTogglesTheSettingAndTheTracker) {
    commands.toggleDragSnap();
    EXPECT_TRUE(StatusMenu::dragSnapEnabled());
    EXPECT_TRUE(WindowDragTracker::shared().enabled);
    commands.toggleDragSnap();
    EXPECT_FALSE(StatusMenu::dragSnapEnabled());
    EXPECT_FALSE(WindowDragTracker::shared().enabled);
    EXPECT_EQ(rebuilds, 2);

    // Stored as the number 1 by hand: on in the menu, as at start-up; switched off as 0.
    Preferences::shared().defaults.set(StatusMenu::enableDragSnapKey, PlistValue(1));
    EXPECT_TRUE(StatusMenu::dragSnapEnabled());
    commands.toggleDragSnap();
    EXPECT_EQ(Preferences::shared().defaults.object(StatusMenu::enableDragSnapKey), PlistValue(0));
}

TEST_F(MenuCommandsTest, TheKestsFileIsRevealedOrElseItsFolderMade) {
    const std::string file = LayoutStore::shared().fileURL;
    const std::string folder = file.substr(0, file.rfind('/'));
    commands.revealKestsFile();
    EXPECT_TRUE(sim->simFiles().isDirectory(folder));
    LayoutStore::shared().save();
    commands.revealKestsFile();
    EXPECT_EQ(revealed(), (std::vector<std::vector<std::string>>{{folder}, {file}}));
}

TEST_F(MenuCommandsTest, TheWindowListGoesToTheDesktopFileAndTheConsole) {
    const std::string path = sim->simFiles().homeDirectory() + "/Desktop/kestr-windows.txt";
    EXPECT_EQ(MenuCommands::dumpFilePath(), path);
    sim->simFiles().createDirectories(sim->simFiles().homeDirectory() + "/Desktop");
    sim->simFiles().writeAtomically(path, "an earlier dump");

    commands.dumpWindowList();
    const std::string text = sim->simFiles().read(path);
    EXPECT_TRUE(text.starts_with("================ kestr Window Dump ================"));
    EXPECT_NE(text.find("Docs"), std::string::npos);
    EXPECT_EQ(console.stdoutText, text);
    EXPECT_EQ(revealed(), (std::vector<std::vector<std::string>>{{path}}));
    EXPECT_TRUE(sim->simToasts().shown.empty()) << "showing the file says where it went";

    // A Linux desktop also says so in a toast.
    X11Wording words;
    sim->otherWording = &words;
    commands.dumpWindowList();
    ASSERT_EQ(sim->simToasts().shown.size(), 1u);
    EXPECT_EQ(sim->simToasts().shown[0].text, "Window list saved to " + path);
    sim->otherWording = nullptr;

    sim->simFiles().failOperation(FileOperation::atomicWrite, "kestr-windows.txt");
    commands.dumpWindowList();
    EXPECT_TRUE(lines().back().starts_with("kestr: failed to write dump file at " + path + ": ")) << lines().back();
    EXPECT_EQ(revealed().size(), 2u) << "nothing to reveal";
}

TEST_F(MenuCommandsTest, TheManagerWindowOpensOnItsTabAndRefreshesTheMenuBar) {
    commands.manage(LayoutEditorWindow::Tab::snaps);
    LayoutEditorWindow& manager = LayoutEditorWindow::shared();
    EXPECT_TRUE(manager.window()->isVisible());
    EXPECT_EQ(manager.currentSection(), LayoutEditorWindow::Tab::snaps);
    ASSERT_TRUE(manager.onChange);
    manager.onChange();
    EXPECT_EQ(rebuilds, 1);
}

}  // namespace
}  // namespace kestr::test
