// What the floating panel shows under its tabs: banners, action rows, and either the
// kest list or the snap grid. The owner empties it with clear() and calls the builders
// from top to bottom; each adds its views at a given top edge (y grows downward) and
// returns the y just below what it added. The keyboard selection walks the kest rows
// or snap cells.
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
    std::vector<SelectableCell*> selectableCells;
    std::optional<int> keyboardSelectedIndex;

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
    QWidget* page_ = nullptr;
    QWidget* retired_ = nullptr;
};

}  // namespace kestr
