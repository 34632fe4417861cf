#include "UI/Shell/TrayPresence.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <qpa/qplatformnativeinterface.h>

namespace kestr {

namespace {

const char* const watcherService = "org.kde.StatusNotifierWatcher";
const char* const watcherPath = "/StatusNotifierWatcher";

bool statusNotifierHostRegistered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcherService)) return false;
    QDBusMessage get =
        QDBusMessage::createMethodCall(watcherService, watcherPath, "org.freedesktop.DBus.Properties", "Get");
    get << QString(watcherService) << QString("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().front().value<QDBusVariant>().variant().toBool();
}

}  // namespace

TrayPresence::TrayPresence() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        watcher_ = std::make_unique<QDBusServiceWatcher>(watcherService, bus, QDBusServiceWatcher::WatchForOwnerChange);
        QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayPresence::changed);
        for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus.connect(QString(), watcherPath, watcherService, signal, this, SLOT(changed()));
    }
    // Qt's X11 backend follows the XEmbed tray once it has looked for one (now()); other
    // backends have no such trays.
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
        QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), this, SLOT(xembedTrayChanged(QScreen*)));
}

TrayPresence::~TrayPresence() = default;

TrayPresence::Kind TrayPresence::now() {
    if (statusNotifierHostRegistered()) return Kind::statusNotifier;
    // Asked only now: Qt decides once, at its first look, whether its own icons go to a
    // D-Bus tray, and kestr's icon there is kestr's own.
    if (QSystemTrayIcon::isSystemTrayAvailable()) return Kind::xembed;
    return Kind::none;
}

void TrayPresence::changed() {
    if (onChange) onChange();
}

void TrayPresence::xembedTrayChanged(QScreen*) { changed(); }

}  // namespace kestr
