#include "UI/Manager/ItemTableModel.h"

#include "Platform/PrintableText.h"
#include "UI/ShownText.h"

namespace kestr {

const std::vector<ItemTableModel::Column>& ItemTableModel::columns() {
    static const std::vector<Column> list = {
        {"app", "App", 130, 65},    {"matcher", "Match", 220, 110},           {"display", "Display", 90, 45},
        {"space", "Space", 90, 45}, {"frame", "Frame (x, y, w, h)", 190, 95},
    };
    return list;
}

void ItemTableModel::setItems(std::vector<LayoutItem> items) {
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
}

QString ItemTableModel::matcherText(const LayoutItem& item) {
    // Index and first-window matchers name the title they were captured with.
    QString suffix;
    if (item.capturedWindowTitle && !item.capturedWindowTitle->empty()) {
        suffix = QStringLiteral(" (") + ShownText::of(*item.capturedWindowTitle) + QStringLiteral(")");
    }
    const WindowMatcher& m = item.windowMatcher;
    if (auto* c = m.get<WindowMatcher::TitleContains>()) return "title contains: " + ShownText::of(c->text);
    if (auto* r = m.get<WindowMatcher::TitleRegex>()) return "title regex: " + ShownText::of(r->pattern);
    if (auto* i = m.get<WindowMatcher::WindowIndex>()) return "window index #" + QString::number(i->index) + suffix;
    return QStringLiteral("first window") + suffix;
}

QString ItemTableModel::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
    const LayoutItem& item = items_[static_cast<std::size_t>(row)];
    const std::string id = columns()[static_cast<std::size_t>(column)].identifier;
    // Names and titles come from other programs and the kest file: shown cleaned and
    // isolated, so that none reorders the rest of its cell.
    if (id == "app") return ShownText::of(item.appName);
    if (id == "matcher") return matcherText(item);
    if (id == "display") return QString::fromStdString(PrintableText::of(item.targetFrame.displayUUID)).left(8);
    if (id == "space") return item.capturedSpaceLabel ? ShownText::of(*item.capturedSpaceLabel) : "-";
    const ScreenFrame& f = item.targetFrame;
    return QString::asprintf("%.0f, %.0f, %.0f, %.0f", f.x, f.y, f.width, f.height);
}

int ItemTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ItemTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns().size());
}

QVariant ItemTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole) return {};
    return cellText(index.row(), index.column());
}

QVariant ItemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return QString::fromLatin1(columns()[static_cast<std::size_t>(section)].title);
}

}  // namespace kestr
