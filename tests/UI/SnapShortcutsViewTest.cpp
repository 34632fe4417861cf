#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"
#include "Support/DesktopTest.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapShortcutsView.h"

namespace kestr::test {
namespace {

constexpr std::uint32_t ctrlOpt = 0x1800;
constexpr std::uint32_t leftArrow = 123;

class SnapShortcutsViewTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        SnapStore::shared().bindings = SnapDefaults::magnetBindings();
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Work";
        kest.hotkey = Hotkey{leftArrow, ctrlOpt};  // the left half's default
        LayoutStore::shared().layouts = {kest};
        HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
        view = std::make_unique<SnapShortcutsView>();
        view->resize(640, 600);
        view->onChange = [this] { ++changes; };
        view->refresh();
    }
    std::size_t storedBindings() {
        SnapStore disk(SnapStore::shared().fileURL);
        disk.load();
        return disk.bindings.size();
    }
    std::unique_ptr<SnapShortcutsView> view;
    int changes = 0;
};

TEST_F(SnapShortcutsViewTest, RowsShowGroupsShortcutsAndCollisionsWithKests) {
    ASSERT_EQ(view->table()->rowCount(), 41);
    EXPECT_EQ(view->text(0, 0), "Halves  ·  " + QString::fromStdString(SnapAction(SnapAction::leftHalf).displayName()));
    EXPECT_EQ(view->text(0, 40).left(8), "Displays");
    EXPECT_EQ(view->text(1, 0), "⌃⌥←");
    EXPECT_EQ(view->recorder(0)->textColor(), QColor(255, 149, 0)) << "a conflicting shortcut shows in orange";
    EXPECT_EQ(view->text(2, 0), "⚠ Kest: Work");
    EXPECT_EQ(view->toolTip(2, 0), "This hotkey is also used by Kest: Work.");
    EXPECT_EQ(view->text(2, 1), "");
    EXPECT_GE(view->table()->columnWidth(0), 160);
    EXPECT_GE(view->table()->columnWidth(1), 98);
    EXPECT_FALSE(view->conflictCard()->isVisibleTo(view.get()));
}

TEST_F(SnapShortcutsViewTest, TheTableStandsInARoundedFrameTwentyPointsBelowTheHelp) {
    view->show();
    QLabel* help = nullptr;
    for (QLabel* label : view->findChildren<QLabel*>())
        if (label->text().startsWith("Double-click")) help = label;
    ASSERT_TRUE(help);
    QWidget* frame = view->table()->parentWidget();
    EXPECT_EQ(frame->y(), help->geometry().bottom() + 1 + 20) << "two 10-point gaps around the hidden card";
    const QRegion shape = view->table()->mask();
    EXPECT_FALSE(shape.contains(QPoint(1, 1)));
    EXPECT_FALSE(shape.contains(QPoint(frame->width() - 2, frame->height() - 2)));
    EXPECT_TRUE(shape.contains(QPoint(frame->width() / 2, 0)));
    const QImage image = frame->grab().toImage();
    EXPECT_NE(image.pixel(0, frame->height() / 2), image.pixel(3, frame->height() / 2)) << "a border at the edge";

    // What the recorder shows while it records fits its column.
    view->handleDoubleClick(0);
    QLabel* shown = view->recorder(0)->findChild<QLabel*>();
    for (const QString& text : ShortcutRecorderView::recordingTexts()) {
        EXPECT_LE(QFontMetricsF(shown->font()).horizontalAdvance(text), shown->contentsRect().width())
            << text.toStdString();
    }
    EXPECT_EQ(shown->text(), "Type shortcut…");
}

TEST_F(SnapShortcutsViewTest, RecordingDeleteAndResetAreStoredAndRegistered) {
    view->handleDoubleClick(1);
    ASSERT_TRUE(view->recorder(1)->recording());
    QTest::keyClick(view->recorder(1), Qt::Key_Backspace);
    EXPECT_FALSE(SnapStore::shared().binding(SnapAction::rightHalf));
    EXPECT_EQ(view->text(1, 1), "None");
    EXPECT_EQ(storedBindings(), 40u);
    EXPECT_EQ(changes, 1);

    // A shortcut bound to the capture shortcut's keys collides with it.
    view->recorder(1)->beginRecording();
    QTest::keyClick(view->recorder(1), Qt::Key_Return, Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(view->text(2, 1), "⚠ Save current windows");

    sim->simAlerts().answers = {alertFirstButtonReturn + 1};
    view->handleReset();
    EXPECT_EQ(changes, 2) << "cancelled: nothing changes";
    const std::vector<SnapBinding> before = SnapStore::shared().bindings;
    view->handleReset();
    EXPECT_EQ(changes, 3);
    const auto defaults = SnapDefaults::magnetBindings();
    ASSERT_EQ(SnapStore::shared().bindings.size(), defaults.size());
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        EXPECT_EQ(SnapStore::shared().bindings[i].hotkey, defaults[i].hotkey);
        EXPECT_NE(SnapStore::shared().bindings[i].id, before[std::min(i, before.size() - 1)].id);
    }
    EXPECT_EQ(sim->simAlerts().requests.back().buttons, (std::vector<std::string>{"Reset", "Cancel"}));
}

TEST_F(SnapShortcutsViewTest, FailedSavesAndRefusedKeysAreReportedAndKeptInMemory) {
    sim->simFiles().failOperation(FileOperation::atomicWrite);
    sim->simHotKeys().holdByOtherProgram(0, ctrlOpt);
    view->recorder(3)->beginRecording();
    QTest::keyClick(view->recorder(3), Qt::Key_A, Qt::MetaModifier | Qt::AltModifier);
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Couldn't save your snap shortcuts");
    EXPECT_EQ(view->text(1, 3), "⌃⌥A") << "the table shows the new shortcut after a failed save";
    const auto& lines = sim->simLog().lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "kestr: snap hotkey conflict for: Snap: " + SnapAction(SnapAction::leftHalf).displayName() +
                            ", Snap: " + SnapAction(SnapAction::bottomHalf).displayName()),
              lines.end());
}

TEST_F(SnapShortcutsViewTest, RunningWindowManagersAreListedAndQuit) {
    addApp("com.knollsoft.Rectangle", "Rectangle", {});
    view->refresh();
    ASSERT_TRUE(view->conflictCard()->isVisibleTo(view.get()));
    ASSERT_EQ(view->quitButtons().size(), 1u);
    view->handleQuitConflict(5);  // no such entry
    EXPECT_TRUE(sim->simWorkspace().terminateRequests().empty());
    view->quitButtons()[0]->click();
    EXPECT_EQ(sim->simWorkspace().terminateRequests().size(), 1u);
    sim->virtualTime().advance(0.5);
    EXPECT_FALSE(view->conflictCard()->isVisibleTo(view.get())) << "looked again half a second later";
}

}  // namespace
}  // namespace kestr::test
