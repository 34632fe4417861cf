// The one door of an object kestr puts on the bus: a call names a method the object has
// and brings arguments of that method's types, or it is answered with an error before
// anything reads an argument. Any program on the session bus can call these objects. The
// object's description (its introspection) is written from the same table its calls are
// checked against.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <functional>
#include <span>

namespace kestr {

struct DBusMethod {
    const char* member;
    // The D-Bus signatures of all its arguments and of all its answer's, in order.
    const char* in;
    const char* out = "";
};

struct DBusSignal {
    const char* member;
    const char* signature;
};

struct DBusInterface {
    const char* name;
    std::span<const DBusMethod> methods;
    std::span<const DBusSignal> emitted;
};

// The introspection data of `interface` with its read-only `properties`, each of the type
// of its value.
QString introspection(const DBusInterface& interface, const QVariantMap& properties);

// Answers `message` for an object with `interface` and its read-only `properties`
// (org.freedesktop.DBus.Properties): with `answer()` when it calls one of the methods with
// arguments of its types, with InvalidArgs when the types differ, with UnknownMethod for a
// method either interface lacks and UnknownInterface for properties of another interface.
// Returns false, sending nothing, when the message names another interface.
bool answerDBusCall(const QDBusMessage& message, const QDBusConnection& connection, const DBusInterface& interface,
                    const std::function<QVariantMap()>& properties, const std::function<QDBusMessage()>& answer);

}  // namespace kestr
