// The Snaps section of the manager window: every snap action with its shortcut, edited
// in place with a recorder, the collisions with kestr's other shortcuts, the window
// managers that take the same keys, and a reset to the defaults.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "Core/ConflictingApps.h"
#include "Snap/SnapShortcutsModel.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace kestr {

class ShortcutRecorderView;

class SnapShortcutsView : public QWidget {
public:
    explicit SnapShortcutsView(QWidget* parent = nullptr);

    // After every stored change (edit or reset).
    std::function<void()> onChange;

    void refresh();
    void recomputeConflicts();
    void rebuildConflictBanner();
    void reloadTable();
    void sizeColumns();
    void handleDoubleClick(int row);
    void handleReset();
    void handleQuitConflict(int index);

    // What a person sees.
    QTableWidget* table() const { return table_; }
    QWidget* conflictCard() const { return conflictCard_; }
    const std::vector<ConflictingApps::Running>& conflictRunning() const { return conflictRunning_; }
    std::vector<QPushButton*> quitButtons() const;
    // Every line of the warning card, top to bottom.
    QString conflictCardText() const;
    ShortcutRecorderView* recorder(int row) const;
    QString text(int column, int row) const;
    QString toolTip(int column, int row) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildUI();

    SnapShortcutsModel model_;
    QTableWidget* table_;
    QWidget* conflictCard_;
    QVBoxLayout* conflictStack_;
    QPushButton* resetButton_;
    std::vector<ConflictingApps::Running> conflictRunning_;
};

}  // namespace kestr
