#include "UI/Shell/DBusCallAnswer.h"

#include <QDBusMetaType>
#include <QDBusVariant>
#include <string_view>
#include <vector>

namespace kestr {

namespace {

const char* const propertiesInterface = "org.freedesktop.DBus.Properties";

const DBusMethod propertyMethods[] = {
    {"Get", "ss", "v"},
    {"GetAll", "s", "a{sv}"},
    {"Set", "ssv"},
};

// The single complete types of `signature`, in order.
std::vector<std::string_view> completeTypes(std::string_view signature) {
    std::vector<std::string_view> types;
    for (std::size_t i = 0; i < signature.size();) {
        const std::size_t start = i;
        while (i < signature.size() && signature[i] == 'a') ++i;
        int open = 0;
        do {
            if (signature[i] == '(' || signature[i] == '{') ++open;
            if (signature[i] == ')' || signature[i] == '}') --open;
            ++i;
        } while (open > 0 && i < signature.size());
        types.push_back(signature.substr(start, i - start));
    }
    return types;
}

QString arguments(const char* signature, const char* direction) {
    QString xml;
    for (const std::string_view type : completeTypes(signature)) {
        xml += QStringLiteral("<arg type=\"%1\"").arg(QLatin1StringView(type.data(), qsizetype(type.size())));
        xml += direction ? QStringLiteral(" direction=\"%1\"/>").arg(QLatin1StringView(direction)) : QStringLiteral("/>");
    }
    return xml;
}

const DBusMethod* find(const QString& member, std::span<const DBusMethod> methods) {
    for (const DBusMethod& method : methods)
        if (member == QLatin1StringView(method.member)) return &method;
    return nullptr;
}

// Names `interface`, or no interface at all.
bool names(const QString& asked, const char* interface) {
    return asked.isEmpty() || asked == QLatin1StringView(interface);
}

// Get and GetAll of the object's properties, all read-only.
QDBusMessage propertiesReply(const QDBusMessage& message, const char* interface, const QVariantMap& properties) {
    const QVariantList in = message.arguments();
    if (!names(in[0].toString(), interface))
        return message.createErrorReply(QDBusError::UnknownInterface,
                                        QStringLiteral("This object has no interface \"%1\"").arg(in[0].toString()));
    if (message.member() == "GetAll") return message.createReply(properties);
    if (message.member() == "Get" && properties.contains(in[1].toString()))
        return message.createReply(QVariant::fromValue(QDBusVariant(properties.value(in[1].toString()))));
    return message.createErrorReply(QDBusError::InvalidArgs, "No such property");
}

}  // namespace

QString introspection(const DBusInterface& interface, const QVariantMap& properties) {
    QString xml = QStringLiteral("<interface name=\"%1\">").arg(QLatin1StringView(interface.name));
    for (auto [name, value] : properties.asKeyValueRange())
        xml += QStringLiteral("<property name=\"%1\" type=\"%2\" access=\"read\"/>")
                   .arg(name, QLatin1StringView(QDBusMetaType::typeToSignature(value.metaType())));
    for (const DBusMethod& method : interface.methods)
        xml += QStringLiteral("<method name=\"%1\">").arg(QLatin1StringView(method.member)) +
               arguments(method.in, "in") + arguments(method.out, "out") + "</method>";
    for (const DBusSignal& signal : interface.emitted)
        xml += QStringLiteral("<signal name=\"%1\">").arg(QLatin1StringView(signal.member)) +
               arguments(signal.signature, nullptr) + "</signal>";
    return xml + "</interface>";
}

bool answerDBusCall(const QDBusMessage& message, const QDBusConnection& connection, const DBusInterface& interface,
                    const std::function<QVariantMap()>& properties, const std::function<QDBusMessage()>& answer) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    const QString asked = message.interface();
    const bool property = asked == QLatin1StringView(propertiesInterface) ||
                          (asked.isEmpty() && find(message.member(), propertyMethods));
    // A call without an interface that names no method of the object is left to Qt (it
    // may be Introspect or Ping).
    const DBusMethod* method = find(message.member(), property ? propertyMethods : interface.methods);
    if (!property && !names(asked, interface.name)) return false;
    if (!method && asked.isEmpty()) return false;
    QDBusMessage reply;
    if (!method)
        reply = message.createErrorReply(
            QDBusError::UnknownMethod,
            QStringLiteral("%1 has no method \"%2\"").arg(asked, message.member()));
    else if (message.signature() != QLatin1StringView(method->in))
        reply = message.createErrorReply(
            QDBusError::InvalidArgs,
            QStringLiteral("%1 takes arguments of the types \"%2\", not \"%3\"")
                .arg(message.member(), QLatin1StringView(method->in), message.signature()));
    else if (property)
        reply = propertiesReply(message, interface.name, properties());
    else
        reply = answer();
    connection.send(reply);
    return true;
}

}  // namespace kestr
