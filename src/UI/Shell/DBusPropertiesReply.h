// The answer of an object on the bus to org.freedesktop.DBus.Properties: Get and GetAll
// of its properties, all read-only.
#pragma once

#include <QDBusMessage>
#include <QVariantMap>

namespace kestr {

QDBusMessage dbusPropertiesReply(const QDBusMessage& message, const QVariantMap& properties);

}  // namespace kestr
