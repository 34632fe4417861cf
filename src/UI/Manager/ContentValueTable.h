// The content editor's value table: one numbered row per value of the window being
// edited (a tab's address, or a tab's or pane's command); a row edited in place is
// committed at once.
#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

namespace kestr {

class ContentValueModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // The values shown (none when no window is being edited).
    std::function<const std::vector<std::string>*()> values;
    // The end of editing a row, with its text as typed.
    std::function<void(int row, const std::string& text)> onEndEditing;

    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};

// Draws the row number (14 points wide) and the value 6 points after it.
class NumberedValueDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int numberWidth = 14;
    static constexpr int fieldGap = 6;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

}  // namespace kestr
