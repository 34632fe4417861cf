// The one door of an object kestr puts on the bus: a call names a method the object has
// and brings arguments of that method's types, or it is answered with an error before
// anything reads an argument. Any program on the session bus can call these objects.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <functional>
#include <span>

namespace kestr {

struct DBusMethod {
    const char* interface;
    const char* member;
    // The D-Bus signature of all its arguments, in order.
    const char* signature;
};

// Answers `message` for an object with `methods` and the read-only `properties`
// (org.freedesktop.DBus.Properties): with `answer()` when it calls one of the methods with
// arguments of its types, with InvalidArgs when the types differ. Returns false, sending
// nothing, when the message calls none of them.
bool answerDBusCall(const QDBusMessage& message, const QDBusConnection& connection, std::span<const DBusMethod> methods,
                    const std::function<QVariantMap()>& properties, const std::function<QDBusMessage()>& answer);

}  // namespace kestr
