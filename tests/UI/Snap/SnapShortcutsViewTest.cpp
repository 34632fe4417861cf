#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/Sim/SimHotKeys.h"
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
    EXPECT_EQ(view->text(1, 0), "⚠ ⌃⌥←") << "the kest took the keys first";
    EXPECT_EQ(view->recorder(0)->textColor(), QColor(255, 149, 0)) << "a conflicting shortcut shows in orange";
    EXPECT_EQ(view->text(2, 0), "⚠ Kest: \u2068Work\u2069") << "the kest's name isolated";
    EXPECT_EQ(view->toolTip(2, 0), "This hotkey is also used by Kest: \u2068Work\u2069.");
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
    EXPECT_EQ(view->text(1, 3), "⚠ ⌃⌥A") << "the table shows the new shortcut, held elsewhere, after a failed save";
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

TEST_F(SnapShortcutsViewTest, TheCardNamesKeysAnotherProgramHoldsAndTheSnappingProgramsOfThisDesktop) {
    constexpr std::uint32_t rightArrow = 124;
    sim->simHotKeys().holdByOtherProgram(rightArrow, ctrlOpt);
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    view->refresh();
    ASSERT_TRUE(view->conflictCard()->isVisibleTo(view.get()));
    EXPECT_TRUE(view->conflictCardText().contains(
        "Snap: " + QString::fromStdString(SnapAction(SnapAction::rightHalf).displayName()) + " (⌃⌥→)"));
    EXPECT_FALSE(view->conflictCardText().contains("Left Half")) << "a key the kest holds is in the table";
    EXPECT_TRUE(view->quitButtons().empty());

    // Moved to free keys, the snap is no longer named.
    view->recorder(1)->onChange(Hotkey{rightArrow, ctrlOpt | CarbonModifier::command | CarbonModifier::shift});
    EXPECT_FALSE(view->conflictCard()->isVisibleTo(view.get()));

    // A desktop whose programs go by desktop-file ids lists the snapping programs it knows.
    addApp("com.knollsoft.Rectangle", "Rectangle", {});
    addApp("quicktile", "QuickTile", {});
    sim->simCapabilities.desktopFileIDs = true;
    view->refresh();
    ASSERT_EQ(view->quitButtons().size(), 1u);
    EXPECT_EQ(view->conflictRunning()[0].name, "QuickTile");
}

// The colours a person sees in a cell of the table, as painted.
std::vector<QColor> inkOf(SnapShortcutsView& view, int column, int row) {
    const QImage image = view.grab().toImage();
    QTableWidget* table = view.table();
    const QRect cell = table->visualRect(table->model()->index(row, column));
    const QPoint origin = table->viewport()->mapTo(&view, cell.topLeft());
    std::vector<QColor> ink;
    for (int y = origin.y(); y < origin.y() + cell.height(); ++y) {
        for (int x = origin.x(); x < origin.x() + cell.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.saturation() > 120 || c.lightness() < 200) ink.push_back(c);
        }
    }
    return ink;
}

TEST_F(SnapShortcutsViewTest, ShortcutsShowGreyOrOrangeAndTheConflictColumnFitsAfterEveryChange) {
    view->show();
    const auto conflicted = inkOf(*view, 1, 0);
    ASSERT_FALSE(conflicted.empty());
    EXPECT_TRUE(std::all_of(conflicted.begin(), conflicted.end(), [](const QColor& c) {
        return c.hue() >= 25 && c.hue() <= 45;
    })) << "the left half's shortcut, which the kest holds, is orange";
    const auto plain = inkOf(*view, 1, 1);
    ASSERT_FALSE(plain.empty());
    EXPECT_TRUE(std::all_of(plain.begin(), plain.end(), [](const QColor& c) { return c.lightness() > 90; }))
        << "other shortcuts are the recorder's grey, not black";

    // Each change (an edit, a clear, a reset) sizes the conflict column for its widest label.
    const auto fits = [&] {
        const QFont body = view->table()->item(0, 2)->font();
        for (int row = 0; row < view->table()->rowCount(); ++row) {
            const int needed = QFontMetrics(body).horizontalAdvance(view->text(2, row)) + 12;
            if (view->table()->columnWidth(2) < needed) return false;
        }
        return true;
    };
    const auto centerThreeFourths = SnapStore::shared().binding(SnapAction::centerThreeFourths);
    ASSERT_TRUE(centerThreeFourths);
    view->recorder(38)->onChange(centerThreeFourths->hotkey);  // Move Down records those keys
    EXPECT_EQ(view->text(2, 38),
              "⚠ Snap: " + QString::fromStdString(SnapAction(SnapAction::centerThreeFourths).displayName()));
    EXPECT_TRUE(fits());
    sim->simAlerts().answers = {alertFirstButtonReturn};
    view->handleReset();
    EXPECT_TRUE(fits());
}

// A modifier another program keeps for itself is an entry of its own on the card,
// naming the key, and the program that keeps it with what frees it where the desktop
// can tell, as the onboarding says it; it goes when the key is free again.
TEST_F(SnapShortcutsViewTest, AModifierAnotherProgramKeepsIsNamedOnTheCard) {
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    const struct {
        std::optional<ModifierHolder> holder;
        QString text;
    } cases[] = {
        {std::nullopt,
         "⚠ Another program, often the window manager, keeps the ⌃ Control key for itself, so kestr's "
         "shortcuts with it never arrive. Free the key in that program's settings, or choose shortcuts "
         "without it."},
        {ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences"},
         "⚠ IceWM keeps the ⌃ Control key for itself, so kestr's shortcuts with it never arrive. To free it, put "
         "Win95Keys=0 in ~/.icewm/preferences, then start kestr again."},
    };
    for (const auto& c : cases) {
        sim->simHotKeys().holder = c.holder;
        HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
        view->refresh();
        ASSERT_TRUE(view->conflictCard()->isVisibleTo(view.get()));
        QStringList texts;
        for (const QLabel* label : view->conflictCard()->findChildren<QLabel*>()) texts << label->text();
        EXPECT_EQ(texts, QStringList{c.text});
    }
    EXPECT_TRUE(view->quitButtons().empty());

    sim->simHotKeys().heldModifiers = 0;
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
    view->refresh();
    EXPECT_FALSE(view->conflictCard()->isVisibleTo(view.get()));
}

}  // namespace
}  // namespace kestr::test
