#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "Core/LayoutStore.h"
#include "Platform/Sim/SimScriptHost.h"
#include "Support/DesktopTest.h"
#include "UI/Manager/ElidedLabel.h"
#include "UI/Manager/KestContentEditor.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "QtWarningCatcher.h"

namespace kestr::test {
namespace {

class ContentEditorTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        sim->simScriptHost().handler = [this](const std::string&) -> std::optional<ScriptOutcome> {
            ++profileReads;
            return SimScriptHost::list({"Basic", "Pro", "Homebrew"});
        };
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Work";
        LayoutItem chrome = ItemBuilder("com.google.Chrome", "Chrome");
        chrome.browserURL = "https://a.example";
        LayoutItem terminal1 = ItemBuilder("com.apple.Terminal", "Terminal");
        terminal1.terminalTabs = std::vector<std::string>{"htop", "make"};
        terminal1.terminalProfile = "Gone";
        LayoutItem ghostty = ItemBuilder("com.mitchellh.ghostty", "Ghostty");
        ghostty.terminalSplitMode = "tabs";
        kest.items = {chrome,    ItemBuilder("com.apple.finder", "Finder"),
                      terminal1, ItemBuilder("com.apple.Terminal", "Terminal"),
                      ghostty,   ItemBuilder("com.googlecode.iterm2", "iTerm2")};
        LayoutStore::shared().layouts = {kest};
        LayoutEditorWindow::shared().show(LayoutEditorWindow::Tab::kests);
        editor = LayoutEditorWindow::shared().contentEditor();
    }
    const LayoutItem& stored(int index) {
        return LayoutStore::shared().layouts[0].items[static_cast<std::size_t>(index)];
    }
    std::vector<std::string> storedOnDiskTabs(int index) {
        LayoutStore disk(LayoutStore::shared().fileURL);
        disk.load();
        return disk.layouts[0].items[static_cast<std::size_t>(index)].terminalTabs.value_or(std::vector<std::string>{});
    }
    bool enabled(KestContentEditor::Segment s) { return editor->segment(s)->isEnabled(); }
    // Types a row's text into its editor (opened unless it is) and presses Return.
    void type(int row, const QString& text) {
        QTableView* table = editor->table();
        const QModelIndex index = table->model()->index(row, 0);
        if (!table->indexWidget(index)) table->edit(index);
        auto* field = qobject_cast<QLineEdit*>(table->indexWidget(index));
        ASSERT_TRUE(field);
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
        QCoreApplication::processEvents();  // Qt commits the typed text a turn later
    }

    KestContentEditor* editor = nullptr;
    int profileReads = 0;
};

TEST_F(ContentEditorTest, ListsBrowserAndTerminalWindowsWithNumberedRepeatedTitles) {
    ASSERT_TRUE(editor->hasEditables());
    QStringList titles;
    for (int i = 0; i < editor->chooser()->count(); ++i) titles << editor->chooser()->itemText(i);
    QStringList expected;
    for (const char* title : {"Chrome", "Terminal 1", "Terminal 2", "Ghostty", "iTerm2"})
        expected << QChar(0x2068) + QString::fromUtf8(title) + QChar(0x2069);  // isolated, as names are shown
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(editor->height(), 190);
    // A browser with only a saved address starts with it as its one row.
    EXPECT_EQ(editor->table()->model()->rowCount(), 1);
    EXPECT_EQ(editor->hintLabel()->text(), "Each row is a browser tab; the first row is the active tab.");
    EXPECT_FALSE(editor->themePopup()->isVisibleTo(editor));
    EXPECT_EQ(profileReads, 1);

    // A kest with nothing to edit shows only the empty text.
    Layout finderOnly = LayoutStore::shared().layouts[0];
    finderOnly.items = {ItemBuilder("com.apple.finder", "Finder"), ItemBuilder("com.apple.Safari", "Safari")};
    editor->configure(finderOnly);
    EXPECT_FALSE(editor->hasEditables());
    EXPECT_TRUE(editor->emptyLabel()->isVisibleTo(editor));
    EXPECT_FALSE(editor->table()->isVisibleTo(editor));

    // A browser reached by its command line keeps the addresses it opens, and says that
    // its tabs are not captured.
    Layout browser = LayoutStore::shared().layouts[0];
    LayoutItem firefox = ItemBuilder("firefox", "Firefox");
    firefox.browserTabs = std::vector<std::string>{"https://a.example", "https://b.example"};
    browser.items = {firefox};
    editor->configure(browser);
    EXPECT_EQ(editor->table()->model()->rowCount(), 2);
    EXPECT_EQ(editor->hintLabel()->text(),
              "This desktop cannot read browser tabs, so capture stores none; each row opens as a tab.");
}

TEST_F(ContentEditorTest, CommandLineBrowsersAndTerminalsAreListedAndTheirRowsStored) {
    LayoutItem firefox = ItemBuilder("firefox", "Firefox");
    firefox.browserTabs = std::vector<std::string>{"https://a.example"};
    LayoutItem xterm = ItemBuilder("debian-xterm", "XTerm");
    xterm.terminalTabs = std::vector<std::string>{"cd '/home/me'"};
    LayoutStore::shared().layouts[0].items = {firefox, xterm};
    LayoutEditorWindow::shared().reloadFromStore();
    ASSERT_EQ(editor->chooser()->count(), 2);

    editor->chooser()->setCurrentIndex(1);
    EXPECT_EQ(editor->hintLabel()->text(), "This terminal has no tabs: a fresh window runs the first row's command.");
    EXPECT_FALSE(editor->themePopup()->isVisibleTo(editor));
    type(0, "cd '/srv'");
    EXPECT_EQ(stored(1).terminalTabs, (std::vector<std::string>{"cd '/srv'"}));

    editor->chooser()->setCurrentIndex(0);
    type(0, "https://b.example");
    EXPECT_EQ(stored(0).browserTabs, (std::vector<std::string>{"https://b.example"}));
    EXPECT_EQ(stored(0).browserURL, "https://b.example");
}

TEST_F(ContentEditorTest, RowsAreAddedRemovedMovedAndStoredAtOnce) {
    editor->chooser()->setCurrentIndex(1);  // Terminal 1: htop, make
    EXPECT_TRUE(enabled(KestContentEditor::add));
    EXPECT_FALSE(enabled(KestContentEditor::remove)) << "nothing selected: only Add";
    editor->selectRow(0);
    EXPECT_TRUE(enabled(KestContentEditor::remove));
    EXPECT_FALSE(enabled(KestContentEditor::moveUp));
    EXPECT_TRUE(enabled(KestContentEditor::moveDown));
    editor->segment(KestContentEditor::moveDown)->click();
    EXPECT_EQ(stored(2).terminalTabs, (std::vector<std::string>{"make", "htop"}));
    EXPECT_EQ(storedOnDiskTabs(2), (std::vector<std::string>{"make", "htop"}));
    EXPECT_EQ(editor->selectedRow(), 1);

    // An added row left empty is dropped from the kest; blank rows too; a leading space stays.
    editor->segment(KestContentEditor::add)->click();
    EXPECT_EQ(stored(2).terminalTabs, (std::vector<std::string>{"make", "htop"}));
    QAbstractItemModel* rows = editor->table()->model();
    type(2, "  ");
    rows->setData(rows->index(0, 0), " tail -f log", Qt::EditRole);
    EXPECT_EQ(stored(2).terminalTabs, (std::vector<std::string>{" tail -f log", "htop"}));
    EXPECT_EQ(rows->rowCount(), 3) << "the editor keeps its own blank row";

    // Removing every browser tab clears the tabs, the active index and the address.
    editor->chooser()->setCurrentIndex(0);
    editor->selectRow(0);
    editor->segment(KestContentEditor::remove)->click();
    EXPECT_FALSE(stored(0).browserTabs);
    EXPECT_FALSE(stored(0).browserActiveTabIndex);
    EXPECT_FALSE(stored(0).browserURL);
    editor->segment(KestContentEditor::add)->click();
    type(0, "https://b.example");
    EXPECT_EQ(stored(0).browserTabs, (std::vector<std::string>{"https://b.example"}));
    EXPECT_EQ(stored(0).browserActiveTabIndex, 0);
    EXPECT_EQ(stored(0).browserURL, "https://b.example");
}

TEST_F(ContentEditorTest, ARowTypedInItsEditorIsStoredOnceTheEditorHasClosed) {
    const QtWarningCatcher warnings;
    editor->chooser()->setCurrentIndex(1);  // Terminal 1: htop, make
    type(0, "btop");
    EXPECT_EQ(stored(2).terminalTabs, (std::vector<std::string>{"btop", "make"}));
    EXPECT_EQ(editor->table()->model()->index(0, 0).data().toString(), "btop");
    EXPECT_EQ(warnings.containing("closeEditor"), "");
}

// Each edit saves the kest: the page's "Last saved" shows that save at once, as it shows
// once the kest is selected again.
TEST_F(ContentEditorTest, AnEditShowsItsSaveAsLastSaved) {
    LayoutEditorWindow& manager = LayoutEditorWindow::shared();
    const struct {
        const char* edit;
        int window;
        std::function<void()> make;
    } edits[] = {
        {"a terminal's tabs", 1, [&] { type(0, "btop"); }},
        {"a profile", 1, [&] { editor->themePopup()->activated(2); }},
        {"a split", 3, [&] { editor->splitPopup()->activated(1); }},
    };
    for (const auto& e : edits) {
        LayoutStore::shared().layouts[0].updatedAt = Date::fromCivil({2024, 5, 1, 9, 30, 0});
        manager.refreshDetail();
        ASSERT_EQ(manager.savedValue()->text(), "2024-05-01 09:30");
        editor->chooser()->setCurrentIndex(e.window);
        e.make();
        const std::string shown = manager.savedValue()->text().toStdString();
        manager.refreshDetail();
        EXPECT_NE(shown, "2024-05-01 09:30") << e.edit;
        EXPECT_EQ(shown, manager.savedValue()->text().toStdString()) << e.edit;
    }
}

TEST_F(ContentEditorTest, TheEmptyTextGetsTheWholeEmptyStateHeight) {
    // With no kest, and with a kest that has nothing to edit, as the detail page shows them.
    Layout finderOnly = LayoutStore::shared().layouts[0];
    finderOnly.items = {ItemBuilder("com.apple.finder", "Finder")};
    for (const std::optional<Layout>& kest : {std::optional<Layout>(), std::optional<Layout>(finderOnly)}) {
        KestContentEditor empty;
        empty.configure(kest);
        empty.setFixedSize(600, 26);
        empty.show();
        QLabel* text = empty.emptyLabel();
        const QRect r = text->geometry();
        EXPECT_GE(r.height(), text->sizeHint().height()) << "the 12-point text is not cut";
        EXPECT_GE(r.top(), 0);
        EXPECT_LE(r.bottom(), 25);
        EXPECT_EQ(r.left(), 0);
    }
}

// A hint longer than the room beside the chooser goes on over a second line, whole.
TEST_F(ContentEditorTest, ALongHintWrapsInsteadOfBeingCut) {
    KestContentEditor narrow;
    narrow.configure(LayoutStore::shared().layouts[0]);
    narrow.resize(340, 230);
    narrow.show();
    QCoreApplication::processEvents();
    auto* hint = qobject_cast<QLabel*>(static_cast<QWidget*>(narrow.hintLabel()));
    ASSERT_TRUE(hint) << "a label that can wrap";
    const QFontMetrics metrics(hint->font());
    ASSERT_GT(metrics.horizontalAdvance(hint->text()), hint->width()) << "the hint needs more than one line";
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, hint->width(), 1000), Qt::TextWordWrap, hint->text());
    EXPECT_GE(hint->height(), wrapped.height()) << "every line shows";
    EXPECT_TRUE(hint->wordWrap());
}

TEST_F(ContentEditorTest, ProfilesAndSplitsAreChosenAndStored) {
    editor->chooser()->setCurrentIndex(1);
    ASSERT_TRUE(editor->themePopup()->isVisibleTo(editor));
    // A profile that is no longer installed shows Default but stays stored.
    EXPECT_EQ(editor->themePopup()->currentText(), "Default");
    EXPECT_EQ(editor->themePopup()->count(), 4);
    EXPECT_EQ(stored(2).terminalProfile, "Gone");
    editor->themePopup()->activated(2);
    EXPECT_EQ(stored(2).terminalProfile, "Pro");
    editor->themePopup()->activated(0);
    EXPECT_FALSE(stored(2).terminalProfile);

    editor->chooser()->setCurrentIndex(3);  // Ghostty, stored as "tabs"
    EXPECT_EQ(editor->splitPopup()->currentText(), "Tabs");
    editor->splitPopup()->activated(1);
    EXPECT_EQ(stored(4).terminalSplitMode, "columns");
    EXPECT_EQ(editor->hintLabel()->text(), "Each row is a pane, split left→right; the first row is the leftmost.");
    editor->splitPopup()->activated(0);
    EXPECT_FALSE(stored(4).terminalSplitMode);
    EXPECT_EQ(editor->hintLabel()->text(), "Each row opens a tab running its command; the first row opens active.");

    // Editing again after another kest was shown reads the profiles no second time.
    editor->configure(LayoutStore::shared().layouts[0]);
    EXPECT_EQ(profileReads, 1);
}

}  // namespace
}  // namespace kestr::test
