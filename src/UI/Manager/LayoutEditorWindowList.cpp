// The manager window's list operations: rename in place, duplicate, delete, reorder.
#include <QAbstractButton>
#include <QLineEdit>
#include <QScreen>

#include "Core/LayoutStore.h"
#include "Core/UnicodeText.h"
#include "EdgeResize/EdgeOverlayManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/EdgeGroupDetector.h"
#include "Platform/Platform.h"
#include "UI/Manager/DeleteDialog.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/KestListView.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

void LayoutEditorWindow::selectClickedRow() {
    const int row = clickedRow_;
    if (row < 0 || row >= static_cast<int>(store_.layouts.size())) return;
    const Uuid id = store_.layouts[static_cast<std::size_t>(row)].id;
    if (selectedLayoutID_ == id) return;
    selectedLayoutID_ = id;
    selectRowOf(id);
    refreshDetail();
}

void LayoutEditorWindow::ctxRename() {
    int row = clickedRow_;
    selectClickedRow();
    if (row < 0) {
        const QModelIndexList rows = layoutTable_->selectionModel()->selectedRows();
        row = rows.isEmpty() ? -1 : rows.first().row();
    }
    beginInlineRename(row);
}

void LayoutEditorWindow::handleListDoubleClick(int clickedRow) {
    clickedRow_ = clickedRow;
    if (clickedRow < 0 || clickedRow >= static_cast<int>(store_.layouts.size())) return;
    const Uuid id = store_.layouts[static_cast<std::size_t>(clickedRow)].id;
    if (selectedLayoutID_ != id) {
        selectedLayoutID_ = id;
        selectRowOf(id);
        refreshDetail();
    }
    beginInlineRename(clickedRow);
}

void LayoutEditorWindow::beginInlineRename(int row) {
    if (row < 0 || row >= static_cast<int>(store_.layouts.size())) return;
    // After the click or menu that asked for it has been handled.
    platform().mainActor().post([this, row] {
        if (row >= listModel_->rowCount()) return;
        const QModelIndex index = listModel_->index(row);
        layoutTable_->edit(index);
        if (auto* editor = qobject_cast<QLineEdit*>(layoutTable_->indexWidget(index))) editor->selectAll();
    });
}

void LayoutEditorWindow::reloadRow(const Uuid& id) {
    if (auto row = rowOf(id)) listModel_->reloadRow(*row);
}

void LayoutEditorWindow::commitInlineRename(const Uuid& id, const QString& newName) {
    const std::optional<int> row = rowOf(id);
    if (!row) return;
    Layout kest = store_.layouts[static_cast<std::size_t>(*row)];
    const std::string trimmed = newName.trimmed().toStdString();
    if (trimmed.empty() || trimmed == kest.name) {
        reloadRow(id);
        return;
    }
    const auto wanted = UnicodeText::canonicalForm(trimmed);
    for (const Layout& other : store_.layouts) {
        const bool same = wanted ? UnicodeText::canonicalForm(other.name) == wanted : other.name == trimmed;
        if (other.id != id && same) {
            platform().alerts().runModal(AlertRequest{
                AlertStyle::warning,
                "“" + trimmed + "” is already in use",
                "Choose another name, or delete the existing kest first.",
                {"OK"},
                {},
            });
            reloadRow(id);
            return;
        }
    }
    kest.name = trimmed;
    kest.updatedAt = Date::now();
    store_.update(kest);
    persistAndRefresh();
}

void LayoutEditorWindow::ctxDuplicate() {
    selectClickedRow();
    handleDuplicate();
}

void LayoutEditorWindow::handleDuplicate() {
    const std::optional<Layout> kest = selectedKest();
    if (!kest) return;
    const Date now = Date::now();
    Layout copy;
    copy.id = Uuid::random();
    copy.name = kest->name + " (copy)";
    for (LayoutItem item : kest->items) {
        item.id = Uuid::random();
        if (!item.capturedFrame) item.capturedFrame = item.targetFrame;
        copy.items.push_back(std::move(item));
    }
    copy.edgeGroups = EdgeGroupDetector::detectGroups(copy.items, 4, 120);
    copy.createdAt = now;
    copy.updatedAt = now;
    store_.layouts.push_back(copy);
    selectedLayoutID_ = copy.id;
    persistAndRefresh();
}

void LayoutEditorWindow::ctxDelete() {
    selectClickedRow();
    handleDelete();
}

void LayoutEditorWindow::handleDelete() {
    const std::optional<Layout> kest = selectedKest();
    if (!kest) return;
    if (!confirmDelete || !confirmDelete(*kest)) return;
    std::erase_if(store_.layouts, [&](const Layout& l) { return l.id == kest->id; });
    // A deleted kest must not stay active: its slots and edges would outlive it.
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    if (tracker.activeLayout && tracker.activeLayout->id == kest->id) {
        tracker.releaseActiveKest();
        EdgeOverlayManager::shared().setActiveLayout(std::nullopt);
    }
    if (store_.layouts.empty()) {
        selectedLayoutID_.reset();
    } else {
        selectedLayoutID_ = store_.layouts.front().id;
    }
    persistAndRefresh();
}

bool LayoutEditorWindow::presentDeleteDialog(const Layout& layout) {
    DeleteDialog dialog(ShownText::of(layout.name), KestThumbnailRenderer::dialogIcon(layout), window_);
    if (QScreen* screen = window_->screen()) {
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    }
    return dialog.exec() == QDialog::Accepted;
}

bool LayoutEditorWindow::moveKest(int from, int to) {
    const int count = static_cast<int>(store_.layouts.size());
    if (from < 0 || from >= count) return false;
    Layout moved = store_.layouts[static_cast<std::size_t>(from)];
    store_.layouts.erase(store_.layouts.begin() + from);
    int destination = from < to ? to - 1 : to;
    destination = std::clamp(destination, 0, static_cast<int>(store_.layouts.size()));
    store_.layouts.insert(store_.layouts.begin() + destination, moved);
    selectedLayoutID_ = moved.id;
    persistAndRefresh();
    return true;
}

}  // namespace kestr
