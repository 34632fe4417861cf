// The sidebar's list of kests: rows 40 points high drawn as the kest's name with its hot
// key at the right, a rounded selection, and drag reordering that accepts only rows
// dragged from this list.
#pragma once

#include <QListView>
#include <QStyledItemDelegate>
#include <functional>

#include "UI/Manager/EditorClosingView.h"

namespace kestr {

class KestListView : public EditorClosingView<QListView> {
public:
    explicit KestListView(QWidget* parent = nullptr);

    // A context click (the row under it, -1 for none) and a double click on a row.
    std::function<void(int row, const QPoint& globalPos)> onContextClick;
    std::function<void(int row)> onDoubleClick;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Draws one kest row and edits its name in place.
class SidebarKestDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

}  // namespace kestr
