#include "UI/Manager/KestListView.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

#include "UI/Manager/KestListModel.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"

namespace kestr {

KestListView::KestListView(QWidget* parent) : EditorClosingView<QListView>(parent) {
    setItemDelegate(new SidebarKestDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setUniformItemSizes(true);
}

// Rows dragged in from anywhere else are refused.
void KestListView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() != this) return event->ignore();
    QListView::dragEnterEvent(event);
}

void KestListView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() != this) return event->ignore();
    QListView::dragMoveEvent(event);
}

void KestListView::dropEvent(QDropEvent* event) {
    if (event->source() != this) return event->ignore();
    QListView::dropEvent(event);
}

void KestListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (onContextClick) onContextClick(index.isValid() ? index.row() : -1, event->globalPos());
}

void KestListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (onDoubleClick) onDoubleClick(index.isValid() ? index.row() : -1);
}

void SidebarKestDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QWidget* view = option.widget;
    const bool selected = option.state & QStyle::State_Selected;
    const bool emphasized = selected && view && view->hasFocus();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selected) {
        QPainterPath path;
        path.addRoundedRect(QRectF(option.rect).adjusted(8, 4, -8, -4), 8, 8);
        const QPalette& pal = option.palette;
        painter->fillPath(path, emphasized ? pal.color(QPalette::Active, QPalette::Highlight)
                                           : pal.color(QPalette::Inactive, QPalette::Window).darker(115));
    }
    const QFont small = SystemStyle::font(11);
    const QString hotkey = index.data(KestListModel::hotkeyTextRole).toString();
    const int hotkeyWidth = QFontMetrics(small).horizontalAdvance(hotkey);
    const QRect hotkeyRect(option.rect.right() - 8 - hotkeyWidth, option.rect.top(), hotkeyWidth, option.rect.height());
    painter->setFont(small);
    painter->setPen(emphasized ? QColor::fromRgbF(1, 1, 1, 0.85) : SystemStyle::tertiaryLabel().resolved());
    painter->drawText(hotkeyRect, Qt::AlignVCenter | Qt::AlignRight, hotkey);

    const QFont name = SystemStyle::font(13);
    painter->setFont(name);
    painter->setPen(emphasized ? QColor(Qt::white) : option.palette.color(QPalette::Text));
    // The name gives way to the hot key, at least 6 points from it.
    const int nameRight = hotkey.isEmpty() ? option.rect.right() - 8 : hotkeyRect.left() - 6;
    const QRect nameRect(option.rect.left() + 14, option.rect.top(), std::max(0, nameRight - option.rect.left() - 14),
                         option.rect.height());
    const QString text = QFontMetrics(name).elidedText(index.data().toString(), Qt::ElideRight, nameRect.width());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft, text);
    painter->restore();
}

QSize SidebarKestDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), 40};
}

QWidget* SidebarKestDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setFont(SystemStyle::font(13));
    return editor;
}

void SidebarKestDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex&) const {
    const QRect r = option.rect;
    editor->setGeometry(r.left() + 10, r.top() + 8, r.width() - 20, r.height() - 16);
}

}  // namespace kestr
