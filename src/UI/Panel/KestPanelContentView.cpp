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
    const std::optional<Layout> active = EdgeProximityTracker::shared().activeLayout;
    QPointer<KestPanelContentView> self(this);
    double y = top;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double h = KestThumbnailRenderer::blocks(rows[i].layout, false).empty() ? 52 : 83;
        auto* row = new KestRowView(rows[i], page_);
        row->setActive(active && active->id == rows[i].layout.id);
        row->onApply = [self](const Layout& kest, bool fresh) {
            if (self && self->onApply) self->onApply(kest, fresh);
        };
        row->setGeometry(0, int(y), int(width), int(h));
        row->show();
        selectableCells.push_back(row);
        y += h;
        if (i + 1 < rows.size()) {
            addSeparator(y, width);
            y += 1;
        }
    }
    return y;
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
    if (const auto capture = HotkeyManager::shared().captureHotkey()) {
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
    for (int i = 0; i < int(selectableCells.size()); ++i) selectableCells[std::size_t(i)]->setKeyboardSelected(i == index);
    if (onSelectionScroll && index >= 0 && index < int(selectableCells.size())) {
        const QRect frame = selectableCells[std::size_t(index)]->geometry();
        onSelectionScroll(Rect(frame.x(), frame.y(), frame.width(), frame.height()));
    }
}

void KestPanelContentView::activateKeyboardSelection() {
    if (!keyboardSelectedIndex || *keyboardSelectedIndex < 0 || *keyboardSelectedIndex >= int(selectableCells.size()))
        return;
    selectableCells[std::size_t(*keyboardSelectedIndex)]->activateFromKeyboard();
}

void KestPanelContentView::handleSaveCurrent() {
    if (onSaveCurrent) onSaveCurrent();
}

}  // namespace kestr
