#include <QAbstractButton>
#include <QLabel>
#include <QMimeData>
#include <QTableView>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Support/DesktopTest.h"
#include "UI/Manager/ElidedLabel.h"
#include "UI/Manager/ItemTableModel.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/KestListView.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Manager/SidebarFooterButton.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapShortcutsView.h"
#include "QtWarningCatcher.h"

namespace kestr::test {
namespace {

constexpr std::uint32_t kKey = 40;

// A name or title as the manager shows it: isolated, so it never reorders the text around it.
QString shown(const char* text) {
    return QString::fromUtf8("\u2068") + QString::fromUtf8(text) + QString::fromUtf8("\u2069");
}

class ManagerWindowTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        addDisplay(1, {{0, 0}, {1920, 1080}});
        for (const char* name : {"A", "B", "C"}) store().layouts.push_back(kest(name));
        editor().confirmDelete = [this](const Layout&) { return confirmAnswer; };
        HotkeyManager::shared().sync(store().layouts, {});
    }

    static LayoutStore& store() { return LayoutStore::shared(); }
    static LayoutEditorWindow& editor() { return LayoutEditorWindow::shared(); }

    Layout kest(const std::string& name, int items = 1) {
        Layout k;
        k.id = Uuid::random();
        k.name = name;
        for (int i = 0; i < items; ++i)
            k.items.push_back(
                ItemBuilder("com.apple.Terminal", "Terminal").on(1 + i % 2, Rect(10.0 * i, 30, 800, 600)));
        return k;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const Layout& l : store().layouts) out.push_back(l.name);
        return out;
    }
    std::vector<std::string> logLines(const std::string& prefix) {
        std::vector<std::string> out;
        for (const std::string& line : sim->simLog().lines()) {
            if (line.rfind(prefix, 0) == 0) out.push_back(line);
        }
        return out;
    }
    std::vector<Layout> storedOnDisk() {
        LayoutStore disk(store().fileURL);
        disk.load();
        return disk.layouts;
    }
    bool confirmAnswer = true;
};

TEST_F(ManagerWindowTest, ShowingSelectsAKestAndFillsTheDetailPage) {
    const Uuid b = store().layouts[1].id;
    store().layouts[1] = kest("B", 3);
    store().layouts[1].id = b;
    store().layouts[1].items[1].capturedSpaceLabel = "This Space";
    store().layouts[1].updatedAt = Date::fromCivil({2024, 5, 1, 9, 30, 0});
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_EQ(editor().window()->windowTitle(), "Manage Kests");
    EXPECT_EQ(editor().window()->width(), 820);
    EXPECT_EQ(editor().selectedLayoutID(), store().layouts[0].id);
    EXPECT_EQ(editor().nameField()->text(), shown("A"));

    editor().layoutTable()->setCurrentIndex(editor().listModel()->index(1));
    EXPECT_EQ(editor().nameField()->text(), shown("B"));
    EXPECT_EQ(editor().windowsValue()->text(), "3");
    EXPECT_EQ(editor().displaysValue()->text(), "2");
    EXPECT_EQ(editor().savedValue()->text(), "2024-05-01 09:30");
    // The automatic hot key of the second kest, not pinned.
    EXPECT_EQ(editor().hotkeyRecorder()->text(), "⌃⌥⌘2");
    EXPECT_FALSE(editor().pinSwitch()->isChecked());
    EXPECT_TRUE(editor().pinSwitch()->isEnabled());
    ItemTableModel* items = editor().itemModel();
    ASSERT_EQ(items->rowCount(), 3);
    EXPECT_EQ(items->cellText(1, 0), shown("Terminal"));
    EXPECT_EQ(items->cellText(1, 2), "D15B1A70");
    EXPECT_EQ(items->cellText(1, 3), shown("This Space"));
    EXPECT_EQ(items->cellText(0, 3), "-");
    EXPECT_EQ(items->cellText(1, 4), "10, 30, 800, 600");
    EXPECT_EQ(items->cellText(5, 0), "");
    EXPECT_EQ(editor().listModel()->data(editor().listModel()->index(1), KestListModel::hotkeyTextRole), "⌃⌥⌘2");

    // Nothing selected: the empty page.
    editor().layoutTable()->clearSelection();
    EXPECT_EQ(editor().nameField()->text(), "No kest selected");
    EXPECT_EQ(editor().windowsValue()->text(), "—");
    EXPECT_FALSE(editor().pinSwitch()->isEnabled());
    EXPECT_EQ(editor().itemModel()->rowCount(), 0);
}

TEST_F(ManagerWindowTest, TheItemTableIsRoundedKeepsEachColumnsMinimumAndSelectsRows) {
    store().layouts[0] = kest("A", 3);
    editor().show(LayoutEditorWindow::Tab::kests);
    QTableView* table = editor().itemsTable();
    ASSERT_EQ(table->model()->rowCount(), 3);
    QHeaderView* header = table->horizontalHeader();
    const int minimums[] = {65, 110, 45, 45, 95};
    for (int column = 0; column < 5; ++column) {
        header->resizeSection(column, 20);
        EXPECT_EQ(header->sectionSize(column), minimums[column]) << column;
    }
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(1, 0)).center());
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows()[0].row(), 1);

    QWidget* frame = table->parentWidget();
    const QRegion shape = table->mask();
    EXPECT_FALSE(shape.contains(QPoint(1, 1)));
    EXPECT_FALSE(shape.contains(QPoint(1, frame->height() - 2)));
    EXPECT_TRUE(shape.contains(QPoint(frame->width() / 2, frame->height() / 2)));
}

TEST_F(ManagerWindowTest, MatcherTextsNameTheCapturedTitleOnlyForIndexAndFirstWindow) {
    LayoutItem item;
    item.capturedWindowTitle = "Inbox";
    item.windowMatcher = WindowMatcher::windowIndex(2);
    EXPECT_EQ(ItemTableModel::matcherText(item), "window index #2 (" + shown("Inbox") + ")");
    item.windowMatcher = WindowMatcher::firstWindow();
    EXPECT_EQ(ItemTableModel::matcherText(item), "first window (" + shown("Inbox") + ")");
    item.windowMatcher = WindowMatcher::titleContains("Mail");
    EXPECT_EQ(ItemTableModel::matcherText(item), "title contains: " + shown("Mail"));
    item.windowMatcher = WindowMatcher::titleRegex("^I");
    EXPECT_EQ(ItemTableModel::matcherText(item), "title regex: " + shown("^I"));
    item.capturedWindowTitle = "";
    item.windowMatcher = WindowMatcher::windowIndex(2);
    EXPECT_EQ(ItemTableModel::matcherText(item), "window index #2");
}

// What other programs and a hand-edited kest file put in names and titles shows as
// marks: no escape or bell drawn as a glyph, no override reversing the rest of a cell.
TEST_F(ManagerWindowTest, TheDetailPageShowsNamesAndTitlesCleanedAndIsolated) {
    store().layouts[0].name = "\u202EA\x07";
    LayoutItem& item = store().layouts[0].items[0];
    item.appName = "\x1b[31mTerm\x07";
    item.capturedWindowTitle = "\u202Eevil\u2028x";
    item.capturedSpaceLabel = "\u2067Space";
    const QString uuid = QString::fromStdString(item.targetFrame.displayUUID);
    item.targetFrame.displayUUID = "\x1b\x07" + item.targetFrame.displayUUID;
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_EQ(editor().nameField()->text(), shown("\uFFFDA\uFFFD"));
    ItemTableModel* items = editor().itemModel();
    EXPECT_EQ(items->cellText(0, 0), shown("\uFFFD[31mTerm\uFFFD"));
    EXPECT_EQ(items->cellText(0, 1), "first window (" + shown("\uFFFDevil\uFFFDx") + ")");
    EXPECT_EQ(items->cellText(0, 2), QString::fromUtf8("\uFFFD\uFFFD") + uuid.left(6));
    EXPECT_EQ(items->cellText(0, 3), shown("\uFFFDSpace"));
}

TEST_F(ManagerWindowTest, SectionsSwitchPagesAndTheSidebar) {
    editor().show(LayoutEditorWindow::Tab::snaps);
    EXPECT_FALSE(editor().sidebar()->isVisible());
    EXPECT_TRUE(editor().snapShortcutsView()->isVisible());
    EXPECT_TRUE(editor().sectionButton(LayoutEditorWindow::Tab::snaps)->isChecked());

    QTest::mouseClick(editor().sectionButton(LayoutEditorWindow::Tab::kests), Qt::LeftButton);
    EXPECT_TRUE(editor().sidebar()->isVisible());
    EXPECT_TRUE(editor().kestsDetail()->isVisible());

    // Settings: the footer turns active, the selection goes, the settings page shows;
    // only on the left button.
    QTest::mouseClick(editor().sidebarFooter(), Qt::RightButton);
    EXPECT_FALSE(editor().captureDetail()->isVisible());
    QTest::mouseClick(editor().sidebarFooter(), Qt::LeftButton);
    EXPECT_TRUE(editor().captureDetail()->isVisible());
    EXPECT_TRUE(editor().sidebarFooter()->isActiveSelection());
    EXPECT_FALSE(editor().selectedLayoutID());
    // Away to Snaps and back keeps the settings page; showing again leaves it.
    QTest::mouseClick(editor().sectionButton(LayoutEditorWindow::Tab::snaps), Qt::LeftButton);
    QTest::mouseClick(editor().sectionButton(LayoutEditorWindow::Tab::kests), Qt::LeftButton);
    EXPECT_TRUE(editor().captureDetail()->isVisible());
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_TRUE(editor().kestsDetail()->isVisible());
    EXPECT_FALSE(editor().sidebarFooter()->isActiveSelection());
    EXPECT_EQ(editor().sidebarFooter()->hotkeyLabel()->text(), "⌃⌥⌘↩");
}

TEST_F(ManagerWindowTest, KeysCloseTheWindowAndHotKeysWaitWhileItIsActive) {
    editor().show(LayoutEditorWindow::Tab::kests);
    KeyClosableWindow* window = editor().window();
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_W, Qt::MetaModifier);
    EXPECT_TRUE(window->isVisible()) << "only Command-W alone closes";

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window, &activate);
    EXPECT_TRUE(HotkeyManager::shared().suspended);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(window, &deactivate);
    EXPECT_FALSE(HotkeyManager::shared().suspended);

    // Closing while the recorder records must give the global hot keys back.
    QApplication::sendEvent(window, &activate);
    const std::size_t registered = sim->simHotKeys().registrations().size();
    editor().hotkeyRecorder()->beginRecording();
    QTest::keyClick(editor().hotkeyRecorder(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible()) << "the recorder takes the close shortcut while it records";
    editor().hotkeyRecorder()->beginRecording();
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(editor().hotkeyRecorder()->recording());
    EXPECT_EQ(sim->simHotKeys().registrations().size(), registered);
    EXPECT_FALSE(HotkeyManager::shared().suspended);
}

TEST_F(ManagerWindowTest, HotKeysArePinnedRecordedClearedAndStored) {
    editor().show(LayoutEditorWindow::Tab::kests);
    const Uuid a = store().layouts[0].id;
    // Pinning keeps the automatic key as the kest's own.
    editor().pinSwitch()->click();
    EXPECT_EQ(store().layouts[0].hotkey, (Hotkey{18, 0x1900}));
    EXPECT_EQ(storedOnDisk()[0].hotkey, (Hotkey{18, 0x1900}));
    EXPECT_TRUE(editor().pinSwitch()->isChecked());

    editor().handleHotkeyRecorded(Hotkey{kKey, 0x1900});
    EXPECT_EQ(storedOnDisk()[0].hotkey, (Hotkey{kKey, 0x1900}));
    EXPECT_EQ(HotkeyManager::shared().effectiveHotkey(a), (Hotkey{kKey, 0x1900}));
    EXPECT_EQ(editor().hotkeyRecorder()->text(), "⌃⌥⌘K");

    // Cleared: the automatic key comes back, unpinned.
    editor().handleHotkeyRecorded(std::nullopt);
    EXPECT_FALSE(store().layouts[0].hotkey);
    EXPECT_FALSE(editor().pinSwitch()->isChecked());
    EXPECT_EQ(editor().hotkeyRecorder()->text(), "⌃⌥⌘1");

    // A key another program holds: logged, pinned, nothing in effect, shown marked.
    sim->simHotKeys().holdByOtherProgram(kKey, 0x1900);
    editor().handleHotkeyRecorded(Hotkey{kKey, 0x1900});
    EXPECT_EQ(logLines("kestr: hotkey conflict"), std::vector<std::string>{"kestr: hotkey conflict for: A"});
    EXPECT_TRUE(editor().pinSwitch()->isChecked());
    EXPECT_FALSE(HotkeyManager::shared().effectiveHotkey(a));
    EXPECT_EQ(editor().hotkeyRecorder()->text(), "⚠ ⌃⌥⌘K");
}

TEST_F(ManagerWindowTest, AFailedSaveAlertsAndKeepsTheChangeInMemory) {
    int changes = 0;
    editor().onChange = [&] { ++changes; };
    editor().show(LayoutEditorWindow::Tab::kests);
    sim->simFiles().failOperation(FileOperation::atomicWrite);
    editor().handleHotkeyRecorded(Hotkey{kKey, 0x1900});
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "Couldn't save your kests");
    EXPECT_EQ(sim->simAlerts().requests[0].style, AlertStyle::critical);
    EXPECT_EQ(logLines("kestr: failed to save kests: ").size(), 1u);
    EXPECT_EQ(store().layouts[0].hotkey, (Hotkey{kKey, 0x1900}));
    EXPECT_EQ(HotkeyManager::shared().effectiveHotkey(store().layouts[0].id), (Hotkey{kKey, 0x1900}));
    EXPECT_EQ(changes, 1);
}

TEST_F(ManagerWindowTest, RenamingTrimsRefusesNamesInUseAndKeepsUnchangedOnes) {
    editor().show(LayoutEditorWindow::Tab::kests);
    const Uuid a = store().layouts[0].id;
    editor().commitInlineRename(a, "  Work \n");
    EXPECT_EQ(names(), (std::vector<std::string>{"Work", "B", "C"}));
    EXPECT_EQ(storedOnDisk()[0].name, "Work");

    editor().commitInlineRename(a, "   ");
    editor().commitInlineRename(a, "Work");
    EXPECT_TRUE(sim->simAlerts().requests.empty());

    // "Caf" + e + combining acute is the same name as the precomposed one.
    store().layouts[1].name = "Caf\xC3\xA9";
    editor().commitInlineRename(a, "Cafe\xCC\x81");
    ASSERT_EQ(sim->simAlerts().requests.size(), 1u);
    EXPECT_EQ(sim->simAlerts().requests[0].messageText, "“Cafe\xCC\x81” is already in use");
    EXPECT_EQ(store().layouts[0].name, "Work");
    editor().commitInlineRename(a, "c");
    EXPECT_EQ(store().layouts[0].name, "c") << "letter case makes another name";

    // A rename typed into the list's editor reaches the same commit, once Qt has closed
    // the editor (a reload before leaves Qt closing an editor its view has let go).
    const QtWarningCatcher warnings;
    editor().beginInlineRename(1);
    sim->virtualTime().runPending();
    auto* field = qobject_cast<QLineEdit*>(editor().layoutTable()->indexWidget(editor().listModel()->index(1)));
    ASSERT_TRUE(field);
    // The list shows the name isolated; the edit starts from the name itself.
    EXPECT_EQ(editor().listModel()->index(1).data(Qt::DisplayRole).toString(), QString::fromUtf8("\u2068Café\u2069"));
    EXPECT_EQ(field->text(), QString::fromUtf8("Café"));
    field->setText("Bee");
    QTest::keyClick(field, Qt::Key_Return);
    QCoreApplication::processEvents();  // Qt commits the typed name a turn later
    EXPECT_EQ(store().layouts[1].name, "Bee");
    EXPECT_EQ(warnings.containing("closeEditor"), "");
}

TEST_F(ManagerWindowTest, DuplicateAndDeleteWorkOnTheClickedRow) {
    editor().show(LayoutEditorWindow::Tab::kests);
    store().layouts[1] = kest("B", 2);
    store().layouts[1].hotkey = Hotkey{kKey, 0x1900};
    editor().setClickedRow(1);
    editor().ctxDuplicate();
    editor().setClickedRow(-1);
    editor().ctxDuplicate();  // over empty space: the kest selected before
    ASSERT_EQ(names(), (std::vector<std::string>{"A", "B", "C", "B (copy)", "B (copy) (copy)"}));
    const Layout& copy = store().layouts[3];
    EXPECT_FALSE(copy.hotkey);
    EXPECT_NE(copy.items[0].id, store().layouts[1].items[0].id);
    EXPECT_EQ(copy.items[0].capturedFrame, store().layouts[1].items[0].targetFrame);
    EXPECT_EQ(copy.createdAt, copy.updatedAt);
    EXPECT_EQ(editor().selectedLayoutID(), store().layouts[4].id);

    confirmAnswer = false;
    editor().setClickedRow(2);
    editor().ctxDelete();
    EXPECT_EQ(store().layouts.size(), 5u);
    EXPECT_EQ(editor().selectedLayoutID(), store().layouts[2].id) << "the context click still selects";

    confirmAnswer = true;
    EdgeProximityTracker::shared().setActiveLayout(store().layouts[2]);
    EdgeOverlayManager::shared().setActiveLayout(store().layouts[2]);
    EdgeOverlayManager::shared().groupsByDisplay[uuidOf(1)] = {EdgeGroup{}};
    editor().ctxDelete();
    EXPECT_FALSE(EdgeProximityTracker::shared().activeLayout) << "the deleted kest is no longer active";
    EXPECT_TRUE(EdgeOverlayManager::shared().groupsByDisplay.empty()) << "nor are its edge handles";
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "B (copy)", "B (copy) (copy)"}));
    EXPECT_EQ(editor().selectedLayoutID(), store().layouts[0].id) << "the first kest, not a neighbour";
    EXPECT_EQ(storedOnDisk().size(), 4u);
}

TEST_F(ManagerWindowTest, DragsReorderThroughTheWindowAndNeverDropAKest) {
    editor().show(LayoutEditorWindow::Tab::kests);
    auto order = [&](int from, int to) {
        store().layouts = {kest("A"), kest("B"), kest("C")};
        EXPECT_TRUE(editor().moveKest(from, to));
        return names();
    };
    EXPECT_EQ(order(0, 3), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(editor().selectedLayoutID(), store().layouts[2].id);
    EXPECT_EQ(order(2, 0), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(order(1, 1), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(order(1, 2), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(editor().moveKest(3, 0));

    // The payload as the list writes it, dropped onto row 0 (so above it).
    KestListModel* model = editor().listModel();
    std::unique_ptr<QMimeData> payload(model->mimeData({model->index(2)}));
    EXPECT_TRUE(model->dropMimeData(payload.get(), Qt::MoveAction, -1, -1, model->index(0)));
    EXPECT_EQ(names(), (std::vector<std::string>{"C", "A", "B"}));
    // Qt's move-drag then asks the source to remove its row: refused.
    EXPECT_FALSE(model->removeRows(2, 1));
    EXPECT_EQ(store().layouts.size(), 3u);

    QMimeData bad;
    bad.setData(KestListModel::rowType, "1x");
    EXPECT_FALSE(model->dropMimeData(&bad, Qt::MoveAction, 0, 0, {}));
    EXPECT_EQ(KestListModel::parseRow("+2"), 2);
    EXPECT_EQ(KestListModel::parseRow("-1"), -1);
    EXPECT_EQ(KestListModel::parseRow("99999999999999999999"), std::nullopt);
    EXPECT_EQ(KestListModel::parseRow(""), std::nullopt);

    // A drop that did not start in the list is refused before the model sees it.
    QDropEvent foreign(QPointF(10, 10), Qt::MoveAction, payload.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor().layoutTable()->viewport(), &foreign);
    EXPECT_FALSE(foreign.isAccepted());
    EXPECT_EQ(names(), (std::vector<std::string>{"C", "A", "B"}));
}

TEST_F(ManagerWindowTest, ShowingAgainShowsWhatTheStoreHoldsNow) {
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_EQ(editor().nameField()->text(), shown("A"));
    store().layouts[0].name = "Renamed elsewhere";
    store().layouts[0].items.push_back(store().layouts[0].items[0]);
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_EQ(editor().nameField()->text(), shown("Renamed elsewhere"));
    EXPECT_EQ(editor().windowsValue()->text(), "2");

    store().layouts.clear();
    editor().show(LayoutEditorWindow::Tab::kests);
    EXPECT_EQ(editor().nameField()->text(), "No kest selected");
    EXPECT_TRUE(editor().layoutTable()->selectionModel()->selectedRows().isEmpty());
}

}  // namespace
}  // namespace kestr::test
