#include "UI/Shell/DBusPropertiesReply.h"

#include <QDBusVariant>

namespace kestr {

QDBusMessage dbusPropertiesReply(const QDBusMessage& message, const QVariantMap& properties) {
    const QVariantList in = message.arguments();
    if (message.member() == "GetAll") return message.createReply(properties);
    if (message.member() == "Get" && in.size() == 2 && properties.contains(in[1].toString()))
        return message.createReply(QVariant::fromValue(QDBusVariant(properties.value(in[1].toString()))));
    return message.createErrorReply(QDBusError::InvalidArgs, "No such property");
}

}  // namespace kestr
