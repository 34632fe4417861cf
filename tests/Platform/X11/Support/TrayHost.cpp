#include "Platform/X11/Support/TrayHost.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <stdexcept>

namespace kestr::x11test {

namespace {

const char* const watcherService = "org.kde.StatusNotifierWatcher";
const char* const watcherPath = "/StatusNotifierWatcher";
const char* const itemInterface = "org.kde.StatusNotifierItem";
const char* const menuInterface = "com.canonical.dbusmenu";
const char* const propertiesInterface = "org.freedesktop.DBus.Properties";
int connections = 0;

TrayHost::MenuEntry readEntry(const QDBusArgument& argument) {
    TrayHost::MenuEntry entry;
    argument.beginStructure();
    argument >> entry.id;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QDBusVariant value;
        argument.beginMapEntry();
        argument >> key >> value;
        argument.endMapEntry();
        if (key == "label") entry.label = value.variant().toString();
        if (key == "shortcut") value.variant().value<QDBusArgument>() >> entry.keys;
    }
    argument.endMap();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children.push_back(readEntry(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}

}  // namespace

// The watcher object: registrations in, the host's presence out.
class TrayHost::Watcher final : public QDBusVirtualObject {
public:
    QStringList items;
    int hostQuestions = 0;
    bool answering = true;
    std::vector<QDBusMessage> held;

    QString introspect(const QString&) const override {
        return "<interface name=\"org.kde.StatusNotifierWatcher\">"
               "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" "
               "direction=\"in\"/></method>"
               "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" "
               "direction=\"in\"/></method>"
               "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
               "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
               "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
               "</interface>";
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        QDBusMessage reply;
        if (member == "Get") ++hostQuestions;
        if (!answering) {
            message.setDelayedReply(true);
            held.push_back(message);
            return true;
        }
        if (member == "RegisterStatusNotifierItem" && !message.arguments().isEmpty()) {
            // An item names its bus name, or only its path (then the sender's name counts).
            const QString named = message.arguments().front().toString();
            items.push_back(named.startsWith('/') ? message.service() : named);
            reply = message.createReply();
        } else if (member == "RegisterStatusNotifierHost") {
            reply = message.createReply();
        } else if (message.interface() == propertiesInterface && member == "Get" && message.arguments().size() == 2) {
            reply = message.createReply(QVariant::fromValue(QDBusVariant(property(message.arguments()[1].toString()))));
        } else if (message.interface() == propertiesInterface && member == "GetAll") {
            QVariantMap all;
            for (const char* name :
                 {"RegisteredStatusNotifierItems", "IsStatusNotifierHostRegistered", "ProtocolVersion"})
                all.insert(name, property(name));
            reply = message.createReply(all);
        } else {
            return false;
        }
        connection.send(reply);
        return true;
    }

private:
    QVariant property(const QString& name) const {
        if (name == "RegisteredStatusNotifierItems") return items;
        if (name == "IsStatusNotifierHostRegistered") return true;
        return 0;
    }
};

TrayHost::TrayHost(const std::string& busAddress)
    : connection_(QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                                QString("kestr-test-tray-host-%1").arg(++connections))),
      watcher_(std::make_unique<Watcher>()) {
    if (!connection_.isConnected()) throw std::runtime_error("the tray host could not reach the bus");
    // The watcher is in place before the name leads a program to it.
    if (!connection_.registerVirtualObject(watcherPath, watcher_.get()) ||
        !connection_.interface()
             ->registerService(watcherService, QDBusConnectionInterface::QueueService,
                               QDBusConnectionInterface::DontAllowReplacement)
             .isValid())
        throw std::runtime_error("the tray host could not ask for the watcher's name");
}

TrayHost::~TrayHost() {
    connection_.unregisterService(watcherService);
    connection_.unregisterObject(watcherPath);
    QDBusConnection::disconnectFromBus(connection_.name());
}

QStringList TrayHost::items() const { return watcher_->items; }

int TrayHost::hostQuestions() const { return watcher_->hostQuestions; }

void TrayHost::stopAnswering() { watcher_->answering = false; }

void TrayHost::answerLate() {
    for (const QDBusMessage& call : watcher_->held)
        connection_.send(call.createErrorReply(QDBusError::NoReply, "Did not receive a reply"));
    watcher_->held.clear();
    connection_.send(QDBusMessage::createSignal(watcherPath, watcherService, "StatusNotifierHostRegistered"));
}

void TrayHost::giveUpName() { connection_.unregisterService(watcherService); }

QVariant TrayHost::itemProperty(const QString& item, const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(item, "/StatusNotifierItem", propertiesInterface, "Get");
    get << QString(itemInterface) << name;
    const QDBusMessage reply = connection_.call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().front().value<QDBusVariant>().variant();
}

QDBusMessage TrayHost::callItem(const QString& item, const QString& method, const QVariantList& arguments,
                                int milliseconds) {
    QDBusMessage call = QDBusMessage::createMethodCall(item, "/StatusNotifierItem", itemInterface, method);
    call.setArguments(arguments);
    return connection_.call(call, QDBus::Block, milliseconds);
}

TrayHost::MenuEntry TrayHost::menu(const QString& item, const QString& path, const QStringList& names,
                                   int milliseconds) {
    QDBusMessage call = QDBusMessage::createMethodCall(item, path, menuInterface, "GetLayout");
    call << 0 << -1 << names;
    const QDBusMessage reply = connection_.call(call, QDBus::Block, milliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) return {};
    return readEntry(reply.arguments()[1].value<QDBusArgument>());
}

QDBusMessage TrayHost::callMenu(const QString& item, const QString& path, const QString& method,
                                const QVariantList& arguments, int milliseconds) {
    QDBusMessage call = QDBusMessage::createMethodCall(item, path, menuInterface, method);
    call.setArguments(arguments);
    return connection_.call(call, QDBus::Block, milliseconds);
}

QDBusMessage TrayHost::aboutToShow(const QString& item, const QString& path, int id) {
    return callMenu(item, path, "AboutToShow", {id});
}

QDBusMessage TrayHost::clickMenuEntry(const QString& item, const QString& path, int id) {
    return callMenu(item, path, "Event", {id, QString("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
}

std::vector<const TrayHost::MenuEntry*> TrayHost::MenuEntry::all() const {
    std::vector<const MenuEntry*> entries{this};
    for (const MenuEntry& child : children) {
        const auto below = child.all();
        entries.insert(entries.end(), below.begin(), below.end());
    }
    return entries;
}

const TrayHost::MenuEntry* TrayHost::MenuEntry::find(const QString& text) const {
    for (const MenuEntry* entry : all())
        if (entry->label.contains(text)) return entry;
    return nullptr;
}

}  // namespace kestr::x11test
