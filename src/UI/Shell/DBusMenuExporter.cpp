#include "UI/Shell/DBusMenuExporter.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QKeySequence>
#include <QMenu>
#include <QSet>
#include <set>
#include <unordered_map>
#include <vector>

#include "UI/Shell/DBusCallAnswer.h"
#include "UI/Shell/TrayMenuKeys.h"

namespace kestr {

namespace {

const char* const menuInterface = "com.canonical.dbusmenu";

const DBusMethod menuMethods[] = {
    {"GetLayout", "iias", "u(ia{sv}av)"},
    {"GetGroupProperties", "aias", "a(ia{sv})"},
    {"GetProperty", "is", "v"},
    {"Event", "isvu"},
    {"EventGroup", "a(isvu)", "ai"},
    {"AboutToShow", "i", "b"},
    {"AboutToShowGroup", "ai", "aiai"},
};
const DBusSignal menuSignals[] = {
    {"ItemsPropertiesUpdated", "a(ia{sv})a(ias)"},
    {"LayoutUpdated", "ui"},
    {"ItemActivationRequested", "iu"},
};
const DBusInterface menuDescription{menuInterface, menuMethods, menuSignals};

QVariantMap properties() {
    return {{"Version", 3u},
            {"TextDirection", QStringLiteral("ltr")},
            {"Status", QStringLiteral("normal")},
            {"IconThemePath", QStringList()}};
}

// An entry with the entries below it, as GetLayout answers.
struct LayoutNode {
    int id = 0;
    QVariantMap properties;
    QList<LayoutNode> children;
};

QDBusArgument& operator<<(QDBusArgument& argument, const LayoutNode& node) {
    argument.beginStructure();
    argument << node.id << node.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const LayoutNode& child : node.children) argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, LayoutNode& node) {
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.push_back(qdbus_cast<LayoutNode>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

struct EntryProperties {
    int id = 0;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const EntryProperties& entry) {
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, EntryProperties& entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<LayoutNode>();
        qDBusRegisterMetaType<EntryProperties>();
        qDBusRegisterMetaType<QList<EntryProperties>>();
        qDBusRegisterMetaType<QList<QStringList>>();
        return true;
    }();
    (void)registered;
}

// What a property reads as when an entry does not set it.
QVariant defaultValue(const QString& name) {
    if (name == "type") return QStringLiteral("standard");
    if (name == "enabled" || name == "visible") return true;
    if (name == "label" || name == "icon-name" || name == "toggle-type" || name == "children-display") return QString();
    if (name == "toggle-state") return -1;
    if (name == "disposition") return QStringLiteral("normal");
    return {};
}

// Levels of a layout in one reply. Each level nests a structure, an array and a variant
// one deeper, where libdbus allows 32 structures, 32 arrays and 64 containers in all.
constexpr int maxLevels = 8;
constexpr std::size_t maxReplyBytes = std::size_t(16) << 20;

// At least the bytes `properties` take in a message.
std::size_t roughSize(const QVariantMap& properties) {
    std::size_t size = 16;
    for (auto [name, value] : properties.asKeyValueRange()) {
        size += 16 + std::size_t(name.size());
        if (value.metaType() == QMetaType::fromType<QString>()) size += std::size_t(value.toString().toUtf8().size());
        for (const QStringList& press : value.value<QList<QStringList>>())
            for (const QString& key : press) size += 8 + std::size_t(key.toUtf8().size());
    }
    return size;
}

// The property names a caller asked for, as a set: a list of any length, repeats and all,
// costs one pass, and each entry is then looked at by its own few properties.
using Names = QSet<QString>;

Names namesIn(const QVariant& argument) {
    const QStringList list = argument.toStringList();
    return Names(list.begin(), list.end());
}

QVariantMap only(const QVariantMap& properties, const Names& names) {
    if (names.isEmpty()) return properties;
    QVariantMap chosen;
    for (auto it = properties.begin(); it != properties.end(); ++it)
        if (names.contains(it.key())) chosen.insert(it.key(), it.value());
    return chosen;
}

}  // namespace

class DBusMenuExporter::Object final : public QDBusVirtualObject {
public:
    Object(DBusMenuExporter& exporter, const QDBusConnection& connection)
        : exporter_(exporter), connection_(connection) {}

    QDBusConnection& connection() { return connection_; }

    QString introspect(const QString&) const override { return introspection(menuDescription, properties()); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        return answerDBusCall(message, connection, menuDescription, properties, [&] { return answer(message); });
    }

private:
    // The answer to a call of one of the menu's methods, its arguments of their types.
    QDBusMessage answer(const QDBusMessage& message) {
        const QString member = message.member();
        const QVariantList in = message.arguments();
        if (member == "GetLayout") {
            if (!exporter_.entries_.contains(in[0].toInt())) return unknown(message);
            return message.createReply(
                {exporter_.revision_, QVariant::fromValue(layout(in[0].toInt(), in[1].toInt(), namesIn(in[2])))});
        }
        if (member == "GetGroupProperties") {
            // Each entry once, however often it is asked for: the answer is never larger
            // than the menu, whatever the question.
            QList<EntryProperties> found;
            std::set<int> answered;
            const Names names = namesIn(in[1]);
            for (const int id : qdbus_cast<QList<int>>(in[0])) {
                const auto entry = exporter_.entries_.find(id);
                if (entry != exporter_.entries_.end() && answered.insert(id).second)
                    found.push_back({id, only(entry->second.properties, names)});
            }
            return message.createReply(QVariant::fromValue(found));
        }
        if (member == "GetProperty") return property(message, in[0].toInt(), in[1].toString());
        if (member == "Event")
            return menuEvent(in[0].toInt(), in[1].toString()) ? message.createReply() : unknown(message);
        if (member == "EventGroup") {
            QList<int> errors;
            const QDBusArgument events = in[0].value<QDBusArgument>();
            events.beginArray();
            while (!events.atEnd()) {
                int id = 0;
                QString name;
                QDBusVariant data;
                uint time = 0;
                events.beginStructure();
                events >> id >> name >> data >> time;
                events.endStructure();
                if (!menuEvent(id, name)) errors.push_back(id);
            }
            events.endArray();
            return message.createReply(QVariant::fromValue(errors));
        }
        if (member == "AboutToShow") {
            const bool known = exporter_.entries_.contains(in[0].toInt());
            return known ? message.createReply(exporter_.aboutToShow()) : unknown(message);
        }
        // AboutToShowGroup
        QList<int> updates;
        QList<int> errors;
        const bool changed = exporter_.aboutToShow();
        for (const int id : qdbus_cast<QList<int>>(in[0])) {
            if (!exporter_.entries_.contains(id))
                errors.push_back(id);
            else if (changed)
                updates.push_back(id);
        }
        return message.createReply({QVariant::fromValue(updates), QVariant::fromValue(errors)});
    }

    using LevelSizes = std::unordered_map<int, std::vector<std::size_t>>;

    // The entry `id` with `depth` levels below it (every level when negative), within what
    // one message carries: libdbus nests containers 32 deep at most and a bus may take less
    // than its 128 MiB. A submenu whose entries would go past `maxLevels` levels below the
    // top or past `maxReplyBytes` comes with fewer levels below it, or none; a tray asks
    // for them by the submenu's id.
    LayoutNode layout(int id, int depth, const Names& names) const {
        const int levels = depth < 0 ? maxLevels : std::min(depth, maxLevels);
        LevelSizes sizes;
        levelSizes(id, levels, names, sizes);
        std::size_t budget = maxReplyBytes;
        return layout(id, levels, names, sizes, budget);
    }
    LayoutNode layout(int id, int levels, const Names& names, const LevelSizes& sizes, std::size_t& budget) const {
        LayoutNode node;
        const auto entry = exporter_.entries_.find(id);
        if (entry == exporter_.entries_.end()) return node;
        node.id = id;
        node.properties = only(entry->second.properties, names);
        const std::vector<std::size_t>& size = sizes.at(id);
        budget -= std::min(budget, size[0]);
        // The most levels below it that fit what is left, each level taken whole.
        int below = -1;
        for (std::size_t used = 0; below + 1 < levels && (used += size[std::size_t(below) + 2]) <= budget;) ++below;
        if (below < 0) return node;
        for (const int child : entry->second.children)
            node.children.push_back(layout(child, below, names, sizes, budget));
        return node;
    }
    // What the entry `id` and the entries below it take, level by level down to `levels`:
    // [0] its own, [k] all those k levels below it. Kept in `sizes` for every entry on the
    // way, so a reply weighs each entry once however many levels it tries.
    std::vector<std::size_t> levelSizes(int id, int levels, const Names& names, LevelSizes& sizes) const {
        std::vector<std::size_t> own(std::size_t(levels) + 1, 0);
        const auto entry = exporter_.entries_.find(id);
        if (entry == exporter_.entries_.end()) return own;
        own[0] = roughSize(only(entry->second.properties, names));
        if (levels > 0)
            for (const int child : entry->second.children) {
                const std::vector<std::size_t> below = levelSizes(child, levels - 1, names, sizes);
                for (std::size_t k = 0; k < below.size(); ++k) own[k + 1] += below[k];
            }
        // An entry met again deeper down keeps the sizes of its most levels.
        std::vector<std::size_t>& kept = sizes[id];
        if (own.size() > kept.size()) kept = own;
        return own;
    }

    QDBusMessage property(const QDBusMessage& message, int id, const QString& name) const {
        const auto entry = exporter_.entries_.find(id);
        if (entry == exporter_.entries_.end()) return unknown(message);
        QVariant value = entry->second.properties.value(name, defaultValue(name));
        if (!value.isValid()) return unknown(message);
        return message.createReply(QVariant::fromValue(QDBusVariant(value)));
    }

    static QDBusMessage unknown(const QDBusMessage& message) {
        return message.createErrorReply(QDBusError::InvalidArgs, "No such entry or property in this menu");
    }

    // A click runs the entry's command once the tray has its answer: a command may open a
    // window and wait in it.
    bool menuEvent(int id, const QString& name) {
        const auto entry = exporter_.entries_.find(id);
        if (entry == exporter_.entries_.end()) return false;
        if (name == "clicked" && entry->second.action && entry->second.action->isEnabled())
            QMetaObject::invokeMethod(entry->second.action, &QAction::trigger, Qt::QueuedConnection);
        return true;
    }

    DBusMenuExporter& exporter_;
    QDBusConnection connection_;
};

DBusMenuExporter::DBusMenuExporter(const QDBusConnection& connection, const QString& path)
    : path_(path), object_(std::make_unique<Object>(*this, connection)), entries_(emptyMenu()) {
    registerTypes();
    object_->connection().registerVirtualObject(path_, object_.get());
}

DBusMenuExporter::~DBusMenuExporter() { object_->connection().unregisterObject(path_); }

std::map<int, DBusMenuExporter::Entry> DBusMenuExporter::emptyMenu() {
    std::map<int, Entry> entries;
    entries[0].properties.insert("children-display", QStringLiteral("submenu"));
    return entries;
}

bool DBusMenuExporter::show(QMenu& menu) {
    std::map<int, Entry> entries = emptyMenu();
    read(menu, 0, QString(), entries);
    const bool same =
        std::equal(entries.begin(), entries.end(), entries_.begin(), entries_.end(),
                   [](const auto& a, const auto& b) { return a.first == b.first && a.second.sameAs(b.second); });
    if (same) return false;
    entries_ = std::move(entries);
    layoutChanged();
    return true;
}

bool DBusMenuExporter::aboutToShow() {
    const unsigned before = revision_;
    if (onAboutToShow) onAboutToShow();
    return revision_ != before;
}

void DBusMenuExporter::read(QMenu& menu, int parent, const QString& place, std::map<int, Entry>& into) {
    int index = 0;
    for (QAction* action : menu.actions()) {
        const QString here = place + QLatin1Char('/') + QString::number(index++);
        Entry entry = entryOf(*action);
        const int id = idFor(here, entry);
        into[parent].children.push_back(id);
        into[id] = std::move(entry);
        if (QMenu* submenu = action->menu(); submenu && !action->isSeparator()) read(*submenu, id, here, into);
    }
}

DBusMenuExporter::Entry DBusMenuExporter::entryOf(QAction& action) {
    Entry entry;
    entry.action = &action;
    entry.data = action.data();
    QVariantMap& p = entry.properties;
    if (!action.isVisible()) p.insert("visible", false);
    if (action.isSeparator()) {
        p.insert("type", QStringLiteral("separator"));
        return entry;
    }
    p.insert("label", label(action.text(), action.shortcut().isEmpty()));
    if (!action.isEnabled()) p.insert("enabled", false);
    if (action.isCheckable()) {
        p.insert("toggle-type", QStringLiteral("checkmark"));
        p.insert("toggle-state", action.isChecked() ? 1 : 0);
    }
    if (!action.shortcut().isEmpty()) p.insert("shortcut", QVariant::fromValue(keys(action.shortcut())));
    if (action.menu()) p.insert("children-display", QStringLiteral("submenu"));
    return entry;
}

int DBusMenuExporter::idFor(const QString& place, const Entry& entry) {
    // An entry keeps the id of its place while it shows the same. One that changed gets a
    // new id, so that a tray makes it afresh: a GTK tray keeps what an entry had and lost
    // (its keys, a separator's look). Ids grow only with changes the user makes, far
    // short of running out.
    const auto known = ids_.find(place);
    if (known != ids_.end()) {
        const auto shown = entries_.find(known->second);
        if (shown == entries_.end() || shown->second.showsSame(entry)) return known->second;
    }
    return ids_[place] = nextID_++;
}

void DBusMenuExporter::layoutChanged() {
    ++revision_;
    QDBusMessage signal = QDBusMessage::createSignal(path_, menuInterface, "LayoutUpdated");
    signal << revision_ << 0;
    object_->connection().send(signal);
}

QString DBusMenuExporter::label(const QString& text, bool keysInLabel) {
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    QString shown;
    for (qsizetype i = 0; i < (tab >= 0 ? tab : text.size()); ++i) {
        // "&&" is an "&"; a single "&" marks an access key, which these menus do not use.
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    // Keys the tray cannot show from the entry's shortcut (marked as never arriving) are
    // written after the label.
    if (tab >= 0 && keysInLabel) shown += QStringLiteral("  ") + text.mid(tab + 1);
    return shown.replace(QLatin1Char('_'), QStringLiteral("__"));
}

QList<QStringList> DBusMenuExporter::keys(const QKeySequence& sequence) {
    QList<QStringList> presses;
    for (int i = 0; i < sequence.count(); ++i) {
        const QKeyCombination combination = sequence[i];
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        QStringList press;
        if (modifiers & Qt::MetaModifier) press << QStringLiteral("Super");
        if (modifiers & Qt::ControlModifier) press << QStringLiteral("Control");
        if (modifiers & Qt::AltModifier) press << QStringLiteral("Alt");
        if (modifiers & Qt::ShiftModifier) press << QStringLiteral("Shift");
        press << desktopKeyName(QKeySequence(combination.key()).toString(QKeySequence::PortableText));
        presses.push_back(press);
    }
    return presses;
}

}  // namespace kestr
