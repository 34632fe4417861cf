#include "UI/Manager/KestListModel.h"

#include <QMimeData>
#include <charconv>
#include <limits>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "UI/ShownText.h"

namespace kestr {

KestListModel::KestListModel(LayoutStore& store, QObject* parent) : QAbstractListModel(parent), store_(store) {}

void KestListModel::reload() {
    beginResetModel();
    endResetModel();
}

void KestListModel::reloadRow(int row) {
    const QModelIndex i = index(row);
    Q_EMIT dataChanged(i, i);
}

int KestListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(store_.layouts.size());
}

QVariant KestListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Layout& kest = store_.layouts[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            // Shown beside other text; an edit starts from the name as it is.
            return ShownText::of(kest.name);
        case Qt::EditRole:
            return QString::fromStdString(kest.name);
        case hotkeyTextRole:
            return QString::fromStdString(HotkeyManager::shared().shownKestKeys(kest).value_or(""));
        case Qt::ToolTipRole: {
            const auto hotkey = HotkeyManager::shared().kestHotkey(kest);
            const auto why =
                hotkey ? HotkeyManager::shared().whyNotArriving(*hotkey, HotkeySource::layout(kest.id)) : std::nullopt;
            return why ? QVariant(QString::fromStdString(*why)) : QVariant();
        }
        case kestIDRole:
            return QString::fromStdString(kest.id.string());
        default:
            return {};
    }
}

bool KestListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
    const Uuid id = store_.layouts[static_cast<std::size_t>(index.row())].id;
    if (onCommitName) onCommitName(id, value.toString());
    return true;
}

Qt::ItemFlags KestListModel::flags(const QModelIndex& index) const {
    // Drops go between rows only.
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
}

Qt::DropActions KestListModel::supportedDropActions() const { return Qt::MoveAction; }
Qt::DropActions KestListModel::supportedDragActions() const { return Qt::MoveAction; }

QStringList KestListModel::mimeTypes() const { return {QString::fromLatin1(rowType)}; }

QMimeData* KestListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(rowType), QByteArray::number(indexes.first().row()));
    return data;
}

std::optional<long long> KestListModel::parseRow(const QByteArray& payload) {
    if (payload.isEmpty()) return std::nullopt;
    const char* begin = payload.constData();
    const char* end = begin + payload.size();
    if (*begin == '+') ++begin;  // from_chars takes "-" but not "+"
    if (begin == end || *begin == '+') return std::nullopt;
    long long value = 0;
    auto [ptr, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || ptr != end) return std::nullopt;
    return value;
}

bool KestListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex&) const {
    return data && data->hasFormat(QString::fromLatin1(rowType));
}

bool KestListModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int, const QModelIndex& parent) {
    if (!data || !onMove) return false;
    const auto from = parseRow(data->data(QString::fromLatin1(rowType)));
    if (!from) return false;
    // A drop onto a row goes above it; one past the rows goes to the end.
    int to = row;
    if (parent.isValid()) to = parent.row();
    if (to < 0) to = rowCount();
    // Rows beyond int are beyond the list; the move itself refuses any row outside it.
    if (*from < std::numeric_limits<int>::min() || *from > std::numeric_limits<int>::max()) return false;
    return onMove(static_cast<int>(*from), to);
}

bool KestListModel::removeRows(int, int, const QModelIndex&) {
    // Kests leave the list only through the window's delete; the end of a move-drag asks
    // for the source rows and must not get them.
    return false;
}

}  // namespace kestr
