#include "UI/Manager/ContentValueTable.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>

#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

void ContentValueModel::reload() {
    beginResetModel();
    endResetModel();
}

int ContentValueModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !values) return 0;
    const auto* list = values();
    return list ? static_cast<int>(list->size()) : 0;
}

QVariant ContentValueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return QString::fromStdString((*values())[static_cast<std::size_t>(index.row())]);
    }
    return {};
}

bool ContentValueModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
    if (onEndEditing) onEndEditing(index.row(), value.toString().toStdString());
    return true;
}

Qt::ItemFlags ContentValueModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void NumberedValueDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const bool emphasized = selected && option.widget && option.widget->hasFocus();
    painter->save();
    if (selected) {
        painter->fillRect(
            option.rect, option.palette.color(emphasized ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    }
    QFont digits = SystemStyle::font(11);
    digits.setStyleHint(QFont::Monospace);
    painter->setFont(digits);
    painter->setPen(emphasized ? QColor(Qt::white) : SystemStyle::secondaryLabel().resolved());
    const QRect number(option.rect.left(), option.rect.top(), numberWidth, option.rect.height());
    painter->drawText(number, Qt::AlignLeft | Qt::AlignVCenter, QString::number(index.row() + 1));
    painter->setFont(SystemStyle::font(12));
    painter->setPen(emphasized ? QColor(Qt::white) : option.palette.color(QPalette::Text));
    const QRect field = option.rect.adjusted(numberWidth + fieldGap, 0, -4, 0);
    // Addresses and commands come from the kest file: drawn cleaned and isolated, edited as
    // they are.
    painter->drawText(
        field, Qt::AlignLeft | Qt::AlignVCenter,
        ShownText::elided(index.data().toString().toStdString(), QFontMetricsF(painter->font()), field.width()));
    painter->restore();
}

QWidget* NumberedValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setFont(SystemStyle::font(12));
    return editor;
}

void NumberedValueDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                 const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(numberWidth + fieldGap, 0, -4, 0));
}

}  // namespace kestr
