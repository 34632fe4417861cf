// The detail page's read-only table of a kest's windows: application, how its window is
// matched, display, Space and frame.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "Core/LayoutItem.h"

namespace kestr {

class ItemTableModel : public QAbstractTableModel {
public:
    struct Column {
        const char* identifier;
        const char* title;
        int width;
        int minimumWidth;
    };
    static const std::vector<Column>& columns();

    using QAbstractTableModel::QAbstractTableModel;

    void setItems(std::vector<LayoutItem> items);

    // The text of one cell; empty outside the items or the columns.
    QString cellText(int row, int column) const;
    static QString matcherText(const LayoutItem& item);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<LayoutItem> items_;
};

}  // namespace kestr
