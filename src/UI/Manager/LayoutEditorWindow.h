// The manager window ("Manage Kests"): the kest list in a fixed sidebar and, beside it,
// the selected kest's detail page, the settings page or the snap-shortcuts section. One
// controller for the life of the process; closing the window only hides it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "Core/Hotkey.h"
#include "Core/Layout.h"
#include "Core/Uuid.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QTableView;
class QWidget;

namespace kestr {

class ElidedLabel;
class ItemTableModel;
class KestContentEditor;
class KestListModel;
class KestListView;
class KestPreviewView;
class KeyClosableWindow;
class LayoutStore;
class ShortcutRecorderView;
class SidebarFooterButton;
class SnapShortcutsView;

class LayoutEditorWindow : public QObject {
public:
    enum class Tab { kests = 0, snaps = 1 };

    LayoutEditorWindow();
    ~LayoutEditorWindow() override;

    // The one controller, made on first use; it goes with the installed platform.
    static LayoutEditorWindow& shared();

    // Called after every stored change; set by the menu-bar controller.
    std::function<void()> onChange;
    // Asks before a kest is deleted; the delete dialog unless a test answers.
    std::function<bool(const Layout&)> confirmDelete;

    void show(Tab tab);
    // Shows the stores as they now are, after another process changed them; the
    // selection stays on its kest while it exists.
    void reloadFromStore();
    void selectSection(Tab tab);
    void handleSectionSwitch();
    void updateContentVisibility();
    void selectCaptureSettings();

    // The settings page.
    void configureCaptureDetail();
    // The capture shortcut shown: the registered one, else the stored one, else
    // control-option-command-Return.
    static Hotkey shownCaptureHotkey();
    void handleCaptureHotkeyRecorded(std::optional<Hotkey> hotkey);
    void handleDragSnapSwitch();
    void handleDragModifierChanged();
    void handleCheckForUpdatesPressed();

    // The detail page.
    std::optional<Layout> selectedKest() const;
    void refreshDetail();

    // Hot key, pin, and storing every change.
    void handleHotkeyRecorded(std::optional<Hotkey> hotkey);
    void handlePinToggle();
    void persistAndRefresh();

    // The kest list's operations.
    void ctxRename();
    void ctxDuplicate();
    void ctxDelete();
    void handleListDoubleClick(int clickedRow);
    void selectClickedRow();
    void beginInlineRename(int row);
    void commitInlineRename(const Uuid& id, const QString& newName);
    void reloadRow(const Uuid& id);
    void handleDuplicate();
    void handleDelete();
    bool moveKest(int from, int to);
    void saveQuietly();

    // The content editor's commits into the selected kest, saved quietly.
    void commitContent(const Uuid& itemID, const std::vector<std::string>& values, std::optional<int> activeIndex);
    void commitTerminalProfile(const Uuid& itemID, const std::optional<std::string>& profile);
    void commitSplitMode(const Uuid& itemID, const std::optional<std::string>& mode);
    bool presentDeleteDialog(const Layout& layout);

    // The row a context click or double click was on; -1 for none.
    void setClickedRow(int row) { clickedRow_ = row; }

    // What a person sees, for the tests and the renders.
    KeyClosableWindow* window() const { return window_; }
    KestListView* layoutTable() const { return layoutTable_; }
    KestListModel* listModel() const { return listModel_; }
    QTableView* itemsTable() const { return itemsTable_; }
    ItemTableModel* itemModel() const { return itemModel_; }
    ShortcutRecorderView* hotkeyRecorder() const { return hotkeyRecorder_; }
    QAbstractButton* pinSwitch() const { return pinSwitch_; }
    ElidedLabel* nameField() const { return nameField_; }
    QLabel* windowsValue() const { return windowsValue_; }
    QLabel* displaysValue() const { return displaysValue_; }
    QLabel* savedValue() const { return savedValue_; }
    KestContentEditor* contentEditor() const { return contentEditor_; }
    SidebarFooterButton* sidebarFooter() const { return sidebarFooter_; }
    QWidget* sidebar() const { return sidebar_; }
    QWidget* kestsDetail() const { return kestsDetail_; }
    QWidget* captureDetail() const { return captureDetail_; }
    ShortcutRecorderView* captureRecorder() const { return captureRecorder_; }
    QAbstractButton* dragSnapSwitch() const { return dragSnapSwitch_; }
    QComboBox* dragModifierPopup() const { return dragModifierPopup_; }
    SnapShortcutsView* snapShortcutsView() const { return snapShortcutsView_; }
    QAbstractButton* sectionButton(Tab tab) const;
    Tab currentSection() const { return currentSection_; }
    const std::optional<Uuid>& selectedLayoutID() const { return selectedLayoutID_; }

private:
    void buildUI();
    QWidget* buildSidebar();
    QWidget* buildKestDetail();
    QWidget* buildCaptureDetail();
    QTableView* buildItemsTable();
    void selectRowOf(const Uuid& id);
    void reselect();
    void listSelectionChanged();
    void windowBecameKey(bool key);
    void windowHidden();
    std::optional<int> rowOf(const Uuid& id) const;
    // Changes one item of the selected kest and saves quietly; false when it is gone.
    void changeSelectedItem(const Uuid& itemID, const std::function<bool(LayoutItem&)>& change);
    // The detail page's "Last saved" value for a kest saved at `date`.
    void showLastSaved(const Date& date);
    void showSaveFailure(const std::exception& error);

    LayoutStore& store_;
    KeyClosableWindow* window_ = nullptr;
    QButtonGroup* tabSwitcher_ = nullptr;
    QWidget* sidebar_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    KestListView* layoutTable_ = nullptr;
    KestListModel* listModel_ = nullptr;
    QTableView* itemsTable_ = nullptr;
    ItemTableModel* itemModel_ = nullptr;
    ElidedLabel* nameField_ = nullptr;
    KestPreviewView* previewView_ = nullptr;
    KestContentEditor* contentEditor_ = nullptr;
    ShortcutRecorderView* hotkeyRecorder_ = nullptr;
    QLabel* windowsValue_ = nullptr;
    QLabel* displaysValue_ = nullptr;
    QLabel* savedValue_ = nullptr;
    QAbstractButton* pinSwitch_ = nullptr;
    QLabel* contentHeaderLabel_ = nullptr;
    QWidget* kestsDetail_ = nullptr;
    QWidget* captureDetail_ = nullptr;
    SnapShortcutsView* snapShortcutsView_ = nullptr;
    SidebarFooterButton* sidebarFooter_ = nullptr;
    ShortcutRecorderView* captureRecorder_ = nullptr;
    QAbstractButton* dragSnapSwitch_ = nullptr;
    QComboBox* dragModifierPopup_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    bool showingCapture_ = false;
    Tab currentSection_ = Tab::kests;
    std::optional<Uuid> selectedLayoutID_;
    int clickedRow_ = -1;
};

}  // namespace kestr
