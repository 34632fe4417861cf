// The detail page's card for what a kest restores inside its windows: browser tabs, and
// terminal tabs or panes with a Terminal profile or a Ghostty split. Each change goes to
// the owner at once through a callback; the owner stores it.
#pragma once

#include <QTableView>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "UI/Manager/EditorClosingView.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace kestr {

class ContentValueModel;

class KestContentEditor : public QWidget {
public:
    // What the editor edits of an application's windows: browser tabs, terminal tabs or
    // panes, or nothing. The listing and the commit ask the same question.
    enum class ContentKind { none, browser, terminal };
    static ContentKind contentKind(const std::string& bundleID);

    struct Editable {
        Uuid id;
        bool isChrome = false;
        // A browser whose tabs this desktop cannot read: capture stores none.
        bool tabsUnreadable = false;
        // A terminal started by its command line: one window, running the first row.
        bool oneCommand = false;
        bool canTheme = false;
        bool canSplit = false;
        std::string title;
        std::vector<std::string> values;
        std::optional<std::string> profile;
        std::optional<std::string> splitMode;
        friend bool operator==(const Editable&, const Editable&) = default;
    };
    enum Segment { add = 0, remove = 1, moveUp = 2, moveDown = 3 };

    explicit KestContentEditor(QWidget* parent = nullptr);

    std::function<void(const Uuid& itemID, const std::vector<std::string>& values, std::optional<int> activeIndex)>
        onCommit;
    std::function<void(const Uuid& itemID, const std::optional<std::string>& profile)> onTerminalProfile;
    std::function<void(const Uuid& itemID, const std::optional<std::string>& mode)> onSplitMode;

    // The windows of a kest this card edits, in the kest's order, with repeated titles
    // numbered ("Terminal 1", "Terminal 2").
    static std::vector<Editable> editablesOf(const std::optional<Layout>& layout);

    void configure(const std::optional<Layout>& layout);
    bool hasEditables() const { return !editables_.empty(); }

    // The current window's rows and the row operations.
    std::optional<Editable> current() const;
    void setCurrent(const Editable& editable);
    void commitCurrent();
    void updateButtons();
    void addRow();
    void removeRow();
    void swapSelected(int by);
    void selectRow(int row);
    int selectedRow() const;

    QComboBox* chooser() const { return popup_; }
    QLabel* hintLabel() const { return hintLabel_; }
    QLabel* emptyLabel() const { return emptyLabel_; }
    QTableView* table() const { return table_; }
    QComboBox* themePopup() const { return themePopup_; }
    QComboBox* splitPopup() const { return splitPopup_; }
    QToolButton* segment(Segment s) const { return segments_[s]; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    void reloadCurrent();
    void rebuildThemePopup();
    void themeChanged(int position);
    void splitChanged(int position);
    void finishRowEdit();
    void setControlsVisible(bool visible);

    std::vector<Editable> editables_;
    std::vector<std::string> installedProfiles_;
    QComboBox* popup_;
    QLabel* hintLabel_;
    EditorClosingView<QTableView>* table_;
    ContentValueModel* model_;
    QToolButton* segments_[4] = {};
    QWidget* body_ = nullptr;
    QWidget* buttonRow_ = nullptr;
    QWidget* sep1_ = nullptr;
    QWidget* sep2_ = nullptr;
    QLabel* themeLabel_;
    QComboBox* themePopup_;
    QLabel* splitLabel_;
    QComboBox* splitPopup_;
    QLabel* emptyLabel_;
    bool cardShown_ = false;
    bool rebuilding_ = false;
};

}  // namespace kestr
