// The status menu reached through the menu-bar controller on the default simulated
// desktop: saving from the menu and by the capture shortcut, applying and releasing.
#include <gtest/gtest.h>

#include <QMenu>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "MenuBarTest.h"
#include "Snap/SnapStore.h"

namespace kestr::test {
namespace {

class MenuBarMenuTest : public MenuBarTest {
protected:
    void SetUp() override {
        MenuBarTest::SetUp();
        sim->world().trusted = true;
        PermissionManager::shared().refresh();
        HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
        makeController();
        controller->saveCommand.presentDialog = [this](const SaveDialog::Request&) {
            ++dialogs;
            if (duringDialog) duringDialog();
            return std::optional<SaveDialog::Result>(SaveDialog::Result{"Desk", true});
        };
    }
    // Right-clicks the status item and chooses the first row whose title starts so.
    void choose(const QString& title) {
        bool found = false;
        item->onPopUp = [&](QMenu& menu) {
            for (QAction* action : menu.actions()) {
                // Kest names stand isolated (U+2068 … U+2069) in their rows.
                if (!action->text().remove(QChar(0x2068)).remove(QChar(0x2069)).startsWith(title)) continue;
                action->trigger();
                found = true;
                return;
            }
        };
        item->rightClick();
        sim->virtualTime().runPending();
        EXPECT_TRUE(found) << "no row " << title.toStdString();
    }
    std::optional<Layout>& active() { return EdgeProximityTracker::shared().activeLayout; }

    int dialogs = 0;
    std::function<void()> duringDialog;
};

TEST_F(MenuBarMenuTest, SaveFromTheMenuThenApplyAndReleaseTheKest) {
    choose("Save Current Arrangement as Kest…");
    ASSERT_EQ(LayoutStore::shared().layouts.size(), 1u);
    const Layout saved = LayoutStore::shared().layouts[0];
    EXPECT_EQ(saved.name, "Desk");
    EXPECT_FALSE(saved.items.empty());
    ASSERT_TRUE(active());
    EXPECT_EQ(active()->id, saved.id);
    EXPECT_TRUE(HotkeyManager::shared().effectiveHotkey(saved.id)) << "hot keys synchronised";
    EXPECT_EQ(shownDescription(), "kestr (saved)");
    advance(2.1);
    EXPECT_NE(shownDescription(), "kestr (saved)");

    choose("  Desk");
    for (int step = 0; step < 300 && shownDescription() != "kestr (applied)"; ++step) advance(0.1);
    EXPECT_EQ(shownDescription(), "kestr (applied)");
    EXPECT_EQ(active()->id, saved.id);
    advance(2.1);
    EXPECT_EQ(shownDescription(), "kestr (kest active)");

    choose("Release Kest (free editing)");
    EXPECT_FALSE(active());
}

TEST_F(MenuBarMenuTest, TheCaptureShortcutSavesOnceEvenWhenPressedUnderTheDialog) {
    duringDialog = [this] {
        duringDialog = nullptr;
        EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, 0x1900));
        sim->virtualTime().runPending();
    };
    EXPECT_TRUE(sim->simHotKeys().pressHotKey(36, 0x1900));
    sim->virtualTime().runPending();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(LayoutStore::shared().layouts.size(), 1u);
    EXPECT_EQ(shownDescription(), "kestr (saved)");
}

}  // namespace
}  // namespace kestr::test
