#include "UI/Shell/DBusCallAnswer.h"

#include <QDBusVariant>

namespace kestr {

namespace {

const char* const propertiesInterface = "org.freedesktop.DBus.Properties";

const DBusMethod propertyMethods[] = {
    {propertiesInterface, "Get", "ss"},
    {propertiesInterface, "GetAll", "s"},
    {propertiesInterface, "Set", "ssv"},
};

// A call without an interface names its method by the member alone.
const DBusMethod* find(const QDBusMessage& message, std::span<const DBusMethod> methods) {
    for (const DBusMethod& method : methods) {
        if (message.member() == QLatin1StringView(method.member) &&
            (message.interface().isEmpty() || message.interface() == QLatin1StringView(method.interface)))
            return &method;
    }
    return nullptr;
}

// Get and GetAll of the object's properties, all read-only.
QDBusMessage propertiesReply(const QDBusMessage& message, const QVariantMap& properties) {
    const QVariantList in = message.arguments();
    if (message.member() == "GetAll") return message.createReply(properties);
    if (message.member() == "Get" && in.size() == 2 && properties.contains(in[1].toString()))
        return message.createReply(QVariant::fromValue(QDBusVariant(properties.value(in[1].toString()))));
    return message.createErrorReply(QDBusError::InvalidArgs, "No such property");
}

}  // namespace

bool answerDBusCall(const QDBusMessage& message, const QDBusConnection& connection, std::span<const DBusMethod> methods,
                    const std::function<QVariantMap()>& properties, const std::function<QDBusMessage()>& answer) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    const DBusMethod* method = find(message, propertyMethods);
    const bool property = method != nullptr;
    if (!method) method = find(message, methods);
    if (!method) return false;
    QDBusMessage reply;
    if (message.signature() != QLatin1StringView(method->signature))
        reply = message.createErrorReply(
            QDBusError::InvalidArgs,
            QStringLiteral("%1 takes arguments of the types \"%2\", not \"%3\"")
                .arg(message.member(), QLatin1StringView(method->signature), message.signature()));
    else if (property)
        reply = propertiesReply(message, properties());
    else
        reply = answer();
    connection.send(reply);
    return true;
}

}  // namespace kestr
