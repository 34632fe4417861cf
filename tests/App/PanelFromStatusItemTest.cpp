// The kest panel as the menu-bar application runs it: opened by a left click on the
// status item, applying a kest from its row, snapping from its grid, quitting.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "MenuBarTest.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Panel/KeyablePanel.h"
#include "UI/Panel/PanelActionRowView.h"

namespace kestr {
namespace {

class PanelFromStatusItemTest : public test::MenuBarTest {
protected:
    SimWindow& notesWindow() {
        for (SimWindow& w : sim->world().process(745)->windows)
            if (w.title == "Shopping list") return w;
        throw std::logic_error("no shopping list");
    }
    PanelActionRowView* actionRow(const QString& title) {
        for (QWidget* child : controller->kestPanel().content()->page()->findChildren<QWidget*>())
            if (auto* row = dynamic_cast<PanelActionRowView*>(child); row && row->titleText() == title) return row;
        return nullptr;
    }
};

TEST_F(PanelFromStatusItemTest, ACardAppliesItsKestACellSnapsAndQuitEndsTheApplication) {
    LayoutStore::shared().layouts = {kestOfNotes("Notes left", Hotkey{18, 0x1300})};
    SnapStore::shared().setHotkey(Hotkey{123, 0x1800}, SnapAction::leftHalf);
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    makeController();
    KestPanelController& panel = controller->kestPanel();

    // Under the button near the right edge of the main display: kept 8 points inside its
    // visible frame, the top just under the menu bar.
    item->leftClick();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.panel()->pos(), QPoint(1920 - 296 - 8, 25));
    ASSERT_EQ(panel.content()->selectableCells.size(), 1u);

    const Point before = notesWindow().position;
    QTest::mousePress(panel.content()->selectableCells[0], Qt::LeftButton);
    EXPECT_FALSE(panel.isVisible()) << "an apply hides the panel";
    advance(5);
    EXPECT_NE(notesWindow().position, before);
    EXPECT_EQ(notesWindow().size, (Size{900, 700}));
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->name, "Notes left");

    // Shown again: the kest's row is marked active and the release row names it.
    item->leftClick();
    EXPECT_TRUE(static_cast<KestRowView*>(panel.content()->selectableCells[0])->isActive());
    const QString releaseTitle = QString::fromUtf8("Release “\u2068Notes left\u2069”");
    PanelActionRowView* release = actionRow(releaseTitle);
    ASSERT_TRUE(release);
    QTest::mousePress(release, Qt::LeftButton);
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_FALSE(actionRow(releaseTitle));

    // The snaps tab: the left-half cell snaps the focused window.
    sim->world().frontmostPid = 745;
    QTest::keyClick(panel.panel(), Qt::Key_Tab);
    ASSERT_EQ(panel.content()->selectableCells.size(), 1u);
    QTest::keyClick(panel.panel(), Qt::Key_Down);
    QTest::keyClick(panel.panel(), Qt::Key_Return);
    EXPECT_FALSE(panel.isVisible());
    advance(1);
    EXPECT_EQ(notesWindow().position.x, 0);
    EXPECT_EQ(notesWindow().size.width, 960);

    // A click in another application hides the panel.
    item->leftClick();
    Event elsewhere;
    elsewhere.type = EventType::leftMouseDown;
    sim->simEventMonitors().post(elsewhere);
    EXPECT_FALSE(panel.isVisible());

    item->leftClick();
    QTest::mousePress(actionRow("Quit kestr"), Qt::LeftButton);
    EXPECT_EQ(sim->simApplication().terminateRequests, 1);
}

// The rows show the stored kests themselves: kests added, moved or deleted while the
// panel is open leave each row drawing and applying its own kest, or nothing.
TEST_F(PanelFromStatusItemTest, RowsKeepTheirKestsWhileTheStoreChangesUnderThePanel) {
    std::vector<Layout>& kests = LayoutStore::shared().layouts;
    kests = {kestOfNotes("Gone", std::nullopt), kestOfNotes("Notes left", std::nullopt)};
    makeController();
    KestPanelController& panel = controller->kestPanel();
    item->leftClick();
    ASSERT_EQ(panel.content()->selectableCells.size(), 2u);
    auto* gone = static_cast<KestRowView*>(panel.content()->selectableCells[0]);
    auto* notes = static_cast<KestRowView*>(panel.content()->selectableCells[1]);

    kests.erase(kests.begin());
    for (int i = 0; i < 100; ++i) kests.insert(kests.begin(), kestOfNotes("New " + std::to_string(i), std::nullopt));
    EXPECT_FALSE(gone->grab().isNull());
    EXPECT_FALSE(notes->grab().isNull());
    EXPECT_EQ(notes->accessibilityLabel().toStdString(), "Apply kest Notes left");
    QTest::mousePress(gone, Qt::LeftButton);
    EXPECT_TRUE(panel.isVisible()) << "a deleted kest's row applies nothing";
    QTest::mousePress(notes, Qt::LeftButton);
    advance(5);
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->name, "Notes left");
}

// The panel is built, hidden, a moment after start-up; its first opening still shows the
// kests stored by then, where it always opens, and applies the one clicked.
TEST_F(PanelFromStatusItemTest, APanelBuiltAheadOpensOnTheKestsStoredWhenItOpens) {
    std::vector<Layout>& kests = LayoutStore::shared().layouts;
    kests = {kestOfNotes("Gone", std::nullopt)};
    makeController();
    advance(MenuBarController::panelPreparationDelay);
    KestPanelController& panel = controller->kestPanel();
    ASSERT_TRUE(panel.panel());
    EXPECT_FALSE(panel.isVisible());

    kests = {kestOfNotes("First", std::nullopt), kestOfNotes("Notes left", std::nullopt)};
    item->leftClick();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.panel()->pos(), QPoint(1920 - 296 - 8, 25));
    ASSERT_EQ(panel.content()->selectableCells.size(), 2u);
    auto* notes = static_cast<KestRowView*>(panel.content()->selectableCells[1]);
    EXPECT_EQ(notes->accessibilityLabel().toStdString(), "Apply kest Notes left");
    QTest::mousePress(notes, Qt::LeftButton);
    advance(5);
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);
    EXPECT_EQ(EdgeProximityTracker::shared().activeLayout->name, "Notes left");
}

// A kest renamed in the manager while it is active goes by its new name in the panel's
// release row and the menu at once, not only after its next apply.
TEST_F(PanelFromStatusItemTest, TheActiveKestIsNamedAnewWhenItIsRenamed) {
    LayoutStore::shared().layouts = {kestOfNotes("Work", Hotkey{18, 0x1300})};
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    makeController();
    ASSERT_TRUE(sim->simHotKeys().pressHotKey(18, 0x1300));
    advance(5);
    ASSERT_TRUE(EdgeProximityTracker::shared().activeLayout);

    item->leftClick();
    QTest::mousePress(actionRow(QString::fromUtf8("Preferences…")), Qt::LeftButton);  // opens the manager
    LayoutEditorWindow::shared().commitInlineRename(LayoutStore::shared().layouts[0].id, "Home");
    item->leftClick();
    EXPECT_TRUE(actionRow(QString::fromUtf8("Release “\u2068Home\u2069”")));
    QStringList rows;
    item->onPopUp = [&](QMenu& menu) {
        for (QAction* action : menu.actions()) rows << action->text();
    };
    item->rightClick();
    EXPECT_TRUE(rows.contains(QString::fromUtf8("● Active kest: \u2068Home\u2069"))) << rows.join('|').toStdString();
}

}  // namespace
}  // namespace kestr
