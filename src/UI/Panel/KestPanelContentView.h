// What the floating panel shows under its tabs: banners, action rows, and either the
// kest list or the snap grid. The owner empties it with clear() and calls the builders
// from top to bottom; each adds its views at a given top edge (y grows downward) and
// returns the y just below what it added. The keyboard selection walks the kest rows
// or snap cells.
//
// An owner that shows the view through a scrolling window may have the kest rows built
// on demand: the list then holds only the rows in and near the part shown (set with
// showRowsIn), so its cost follows what the window shows, not how many kests there are.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Core/ConflictingApps.h"
#include "Core/Layout.h"
#include "Platform/Geometry.h"
#include "Core/SnapAction.h"
#include "UI/Panel/KestRowView.h"
#include "UI/Snap/SnapCellView.h"

class QPushButton;

namespace kestr {

class KestPanelContentView : public QWidget {
public:
    enum class Mode { kests, snaps };

    explicit KestPanelContentView(QWidget* parent = nullptr);

    std::function<void(const Layout&, bool fresh)> onApply;
    std::function<void(SnapAction)> onApplySnap;
    std::function<void()> onRequestPermission;
    std::function<void(const ConflictingApps::Running&)> onQuitConflict;
    std::function<void()> onSaveCurrent;
    std::function<void()> onManage;
    std::function<void()> onReleaseKest;
    std::function<void()> onQuit;
    // Asks the owner to scroll a rectangle of this view into sight.
    std::function<void(const Rect&)> onSelectionScroll;

    bool trusted = true;
    std::vector<ConflictingApps::Running> conflicts;
    // One entry per kest row or snap cell, in display order. With rows built on demand,
    // a row out of sight is null until cell() builds it.
    std::vector<SelectableCell*> selectableCells;
    std::optional<int> keyboardSelectedIndex;

    // Kest rows are built only for the part of the list showRowsIn names; until it is
    // called after a build, none is.
    void buildRowsOnDemand() { rowsOnDemand_ = true; }
    // The part of this view shown now (y from `top` to `bottom`): its rows and those
    // near it are built, the others let go.
    void showRowsIn(double top, double bottom);
    // The entry at `index`, built when it is a kest row out of sight.
    SelectableCell* cell(int index);
    // The entry's frame in this view, built or not.
    Rect cellFrame(int index) const;

    // Removes everything the builders added and clears the selection. The views go
    // away at the next clear (or with this view), so a click that rebuilds the panel
    // never deletes the view it is running in.
    void clear();

    // Rebuilds everything from the top: the banners the trust flag and the conflicts
    // call for, the action rows, then the list of `mode`; sizes the view to it and
    // returns its height.
    double build(Mode mode, const std::vector<KestRowView::Model>& rows, const std::vector<SnapCellView::Model>& cells,
                 double width);

    double layoutKests(const std::vector<KestRowView::Model>& rows, double top, double width);
    double layoutSnaps(const std::vector<SnapCellView::Model>& cells, double top, double width);
    double addKestsEmptyState(double top, double width);
    double addEmptyLabel(const QString& text, double top, double width);
    QPushButton* makeAccentButton(const QString& title, std::function<void()> action);
    void addSeparator(double y, double width);

    // Banners and action rows.
    double addPermissionBanner(double top, double width);
    double addConflictBanner(double top, double width);
    double layoutActions(double top, double width);

    void moveKeyboardSelection(int delta);
    void activateKeyboardSelection();
    void setKeyboardSelected(int index);

    void handleSaveCurrent();
    void handleRequestPermission();
    void handleQuitConflict(int tag);

    // The widgets the builders added, for the owner's checks and tests.
    QWidget* page() const { return page_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct RowSlot {
        double y = 0;
        double height = 0;
        QWidget* separator = nullptr;  // below the row, when it is built and not the last
    };
    KestRowView* buildRow(std::size_t index);
    void letRowGo(std::size_t index);

    QWidget* page_ = nullptr;
    QWidget* retired_ = nullptr;
    bool rowsOnDemand_ = false;
    // The kest list of the last build: its models stay the owner's until the next build.
    const std::vector<KestRowView::Model>* rowModels_ = nullptr;
    std::vector<RowSlot> rowSlots_;
    std::optional<Uuid> activeID_;
    double rowWidth_ = 0;
};

}  // namespace kestr
