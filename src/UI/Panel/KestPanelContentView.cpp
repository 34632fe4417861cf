#include "UI/Panel/KestPanelContentView.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <map>

#include "Core/HotkeyManager.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/Panel/PanelWidgets.h"
#include "UI/SystemStyle.h"

namespace kestr {

KestPanelContentView::KestPanelContentView(QWidget* parent) : QWidget(parent) { clear(); }

void KestPanelContentView::clear() {
    delete retired_;
    retired_ = page_;
    if (retired_) retired_->hide();
    page_ = new QWidget(this);
    page_->setGeometry(rect());
    page_->show();
    selectableCells.clear();
    keyboardSelectedIndex.reset();
    rowModels_ = nullptr;
    rowSlots_.clear();
}

double KestPanelContentView::build(Mode mode, const std::vector<KestRowView::Model>& rows,
                                   const std::vector<SnapCellView::Model>& cells, double width) {
    clear();
    double y = 6;
    if (!trusted) {
        y = addPermissionBanner(6, width) + 8;
        addSeparator(y, width);
        y += 1 + 8;
    }
    if (!conflicts.empty()) {
        y = addConflictBanner(y, width) + 8;
        addSeparator(y, width);
        y += 1 + 8;
    }
    y = layoutActions(y, width) + 6;
    addSeparator(y, width);
    y += 1 + 6;
    const double bottom = mode == Mode::snaps ? layoutSnaps(cells, y, width) : layoutKests(rows, y, width);
    const double height = bottom + 6;
    resize(int(width), int(std::ceil(height)));
    return height;
}

void KestPanelContentView::resizeEvent(QResizeEvent* event) {
    page_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void KestPanelContentView::addSeparator(double y, double width) {
    PanelWidgets::separator(page_, Rect(0, y, width, 1));
}

double KestPanelContentView::layoutKests(const std::vector<KestRowView::Model>& rows, double top, double width) {
    if (rows.empty()) return addKestsEmptyState(top, width);
    const std::optional<Layout>& active = EdgeProximityTracker::shared().activeLayout;
    activeID_ = active ? std::optional<Uuid>(active->id) : std::nullopt;
    rowModels_ = &rows;
    rowWidth_ = width;
    rowSlots_.assign(rows.size(), RowSlot{});
    selectableCells.assign(rows.size(), nullptr);
    double y = top;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Layout* kest = rows[i].layout();
        const double h = kest && KestThumbnailRenderer::hasBlocks(*kest, false) ? 83 : 52;
        rowSlots_[i] = RowSlot{y, h, nullptr};
        y += h;
        // A separator follows every row but the last.
        if (i + 1 < rows.size()) y += 1;
    }
    if (!rowsOnDemand_) {
        for (std::size_t i = 0; i < rows.size(); ++i) buildRow(i);
    }
    return y;
}

KestRowView* KestPanelContentView::buildRow(std::size_t i) {
    if (auto* built = static_cast<KestRowView*>(selectableCells[i])) return built;
    const RowSlot& slot = rowSlots_[i];
    auto* row = new KestRowView((*rowModels_)[i], page_);
    row->setActive(activeID_ && *activeID_ == (*rowModels_)[i].id());
    row->setKeyboardSelected(keyboardSelectedIndex == int(i));
    QPointer<KestPanelContentView> self(this);
    row->onApply = [self](const Layout& kest, bool fresh) {
        if (self && self->onApply) self->onApply(kest, fresh);
    };
    row->setGeometry(0, int(slot.y), int(rowWidth_), int(slot.height));
    row->show();
    selectableCells[i] = row;
    if (i + 1 < rowSlots_.size()) {
        rowSlots_[i].separator = PanelWidgets::separator(page_, Rect(0, slot.y + slot.height, rowWidth_, 1));
        rowSlots_[i].separator->show();
    }
    return row;
}

void KestPanelContentView::letRowGo(std::size_t i) {
    // Later: the row may be the one handling the event that scrolled it away.
    if (QWidget* row = selectableCells[i]) {
        row->hide();
        row->deleteLater();
    }
    if (QWidget* line = rowSlots_[i].separator) {
        line->hide();
        line->deleteLater();
    }
    selectableCells[i] = nullptr;
    rowSlots_[i].separator = nullptr;
}

void KestPanelContentView::showRowsIn(double top, double bottom) {
    if (!rowModels_) return;
    // Half a window more on each side, so a short scroll finds its rows already there.
    const double margin = std::max(0.0, bottom - top) / 2;
    for (std::size_t i = 0; i < rowSlots_.size(); ++i) {
        const RowSlot& slot = rowSlots_[i];
        const bool near = slot.y + slot.height + 1 >= top - margin && slot.y <= bottom + margin;
        if (near) {
            buildRow(i);
        } else if (selectableCells[i]) {
            letRowGo(i);
        }
    }
}

SelectableCell* KestPanelContentView::cell(int index) {
    if (index < 0 || index >= int(selectableCells.size())) return nullptr;
    if (!selectableCells[std::size_t(index)] && rowModels_) buildRow(std::size_t(index));
    return selectableCells[std::size_t(index)];
}

Rect KestPanelContentView::cellFrame(int index) const {
    if (index < 0 || index >= int(selectableCells.size())) return Rect();
    if (rowModels_) {
        const RowSlot& slot = rowSlots_[std::size_t(index)];
        return Rect(0, slot.y, rowWidth_, slot.height);
    }
    const QRect frame = selectableCells[std::size_t(index)]->geometry();
    return Rect(frame.x(), frame.y(), frame.width(), frame.height());
}

double KestPanelContentView::addKestsEmptyState(double top, double width) {
    const double inner = width - 32;
    double y = top + 10;
    PanelWidgets::label(page_, "No kests yet", SystemStyle::font(13, QFont::DemiBold), SystemStyle::label(),
                        Rect(16, y, inner, 18), Qt::AlignHCenter);
    y += 22;
    const QString body =
        "Arrange your windows the way you like, then save the arrangement as a kest you can bring back anytime.";
    const QFont bodyFont = SystemStyle::font(12);
    const double bodyHeight = PanelWidgets::wrappedHeight(bodyFont, body, inner, 200);
    QLabel* text = PanelWidgets::label(page_, body, bodyFont, SystemStyle::secondaryLabel(),
                                       Rect(16, y, inner, bodyHeight), Qt::AlignHCenter);
    text->setWordWrap(true);
    y += bodyHeight + 14;
    QPushButton* button = makeAccentButton("Save current arrangement", [this] { handleSaveCurrent(); });
    button->setGeometry(16, int(y), int(inner), 28);
    y += 36;
    // A shortcut whose modifier another program keeps would never arrive: not offered.
    if (const auto capture = HotkeyManager::shared().arrivingCaptureHotkey()) {
        PanelWidgets::label(page_, "or press " + QString::fromStdString(capture->displayString()),
                            SystemStyle::font(11), SystemStyle::tertiaryLabel(), Rect(16, y, inner, 16),
                            Qt::AlignHCenter);
        y += 16;
    }
    return y + 12;
}

double KestPanelContentView::addEmptyLabel(const QString& text, double top, double width) {
    PanelWidgets::label(page_, text, SystemStyle::font(12), SystemStyle::secondaryLabel(), Rect(0, top + 18, width, 18),
                        Qt::AlignHCenter);
    return top + 18 + 36;
}

QPushButton* KestPanelContentView::makeAccentButton(const QString& title, std::function<void()> action) {
    return PanelWidgets::accentButton(page_, title, std::move(action));
}

double KestPanelContentView::layoutSnaps(const std::vector<SnapCellView::Model>& cells, double top, double width) {
    if (cells.empty()) return addEmptyLabel("No snap shortcuts", top, width);
    std::map<SnapAction::Value, const SnapCellView::Model*> byAction;
    for (const SnapCellView::Model& cell : cells) byAction.emplace(cell.action, &cell);
    const double column = (width - 32 - 27) / 4;
    QPointer<KestPanelContentView> self(this);
    double y = top + 10;
    bool first = true;
    for (const auto& group : SnapAction::panelLayoutGroups()) {
        std::vector<const SnapCellView::Model*> shown;
        for (SnapAction action : group)
            if (const auto it = byAction.find(action); it != byAction.end()) shown.push_back(it->second);
        if (shown.empty()) continue;
        if (!first) {
            y += 11;
            addSeparator(y, width);
            y += 1 + 11;
        }
        first = false;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (i > 0 && i % 4 == 0) y += 66 + 10;
            auto* cell = new SnapCellView(*shown[i], page_);
            cell->setToolTip(QString::fromStdString(shown[i]->action.displayName()));
            cell->onApply = [self](SnapAction action) {
                if (self && self->onApplySnap) self->onApplySnap(action);
            };
            cell->setGeometry(QRectF(16 + double(i % 4) * (column + 9), y, column, 66).toRect());
            cell->show();
            selectableCells.push_back(cell);
        }
        y += 66;
    }
    return y + 10;
}

void KestPanelContentView::moveKeyboardSelection(int delta) {
    const int count = int(selectableCells.size());
    if (count == 0) return;
    const int start = keyboardSelectedIndex ? *keyboardSelectedIndex : (delta >= 1 ? -1 : count);
    setKeyboardSelected(std::max(std::min(start + delta, count - 1), 0));
}

void KestPanelContentView::setKeyboardSelected(int index) {
    keyboardSelectedIndex = index;
    for (int i = 0; i < int(selectableCells.size()); ++i) {
        if (SelectableCell* c = selectableCells[std::size_t(i)]) c->setKeyboardSelected(i == index);
    }
    if (onSelectionScroll && index >= 0 && index < int(selectableCells.size())) onSelectionScroll(cellFrame(index));
}

void KestPanelContentView::activateKeyboardSelection() {
    if (!keyboardSelectedIndex) return;
    if (SelectableCell* c = cell(*keyboardSelectedIndex)) c->activateFromKeyboard();
}

void KestPanelContentView::handleSaveCurrent() {
    if (onSaveCurrent) onSaveCurrent();
}

}  // namespace kestr
