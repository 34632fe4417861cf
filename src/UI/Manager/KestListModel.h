// The manager window's kest list: one row per stored kest, in store order, with its name
// and the hot key in effect. Rows travel in drags as "com.kestr.kest.row" (the source
// row in decimal); a drop reorders through the owner, and the model never removes a kest
// by itself (a finished move-drag asks it to, and is refused).
#pragma once

#include <QAbstractListModel>
#include <functional>

#include "Core/Uuid.h"

namespace kestr {

class LayoutStore;

class KestListModel : public QAbstractListModel {
public:
    static constexpr const char* rowType = "com.kestr.kest.row";
    enum Role { hotkeyTextRole = Qt::UserRole + 1, kestIDRole };

    explicit KestListModel(LayoutStore& store, QObject* parent = nullptr);

    // The inline rename's end, with the text left in the field.
    std::function<void(const Uuid& id, const QString& text)> onCommitName;
    // The drop: source row and the row it is dropped above; true when moved.
    std::function<bool(int from, int to)> onMove;

    void reload();
    void reloadRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // The row number a payload names, as a decimal integer within 64 bits; none otherwise.
    static std::optional<long long> parseRow(const QByteArray& payload);

private:
    LayoutStore& store_;
};

}  // namespace kestr
