#include "UI/Shell/TrayPresence.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <qpa/qplatformnativeinterface.h>

namespace kestr {

namespace {

const char* const watcherService = "org.kde.StatusNotifierWatcher";
const char* const watcherPath = "/StatusNotifierWatcher";

}  // namespace

TrayPresence::TrayPresence() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        watcher_ = std::make_unique<QDBusServiceWatcher>(watcherService, bus, QDBusServiceWatcher::WatchForOwnerChange);
        QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayPresence::ask);
        for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus.connect(QString(), watcherPath, watcherService, signal, this, SLOT(ask()));
    }
    // Qt's X11 backend follows the XEmbed tray once it has looked for one (in answer()); other
    // backends have no such trays.
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
        QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), this, SLOT(ask()));
}

TrayPresence::~TrayPresence() = default;

void TrayPresence::ask() {
    const unsigned question = ++questions_;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        answer(false);
        return;
    }
    QDBusMessage get =
        QDBusMessage::createMethodCall(watcherService, watcherPath, "org.freedesktop.DBus.Properties", "Get");
    get << QString(watcherService) << QString("IsStatusNotifierHostRegistered");
    // Without a watcher the bus answers at once; asking starts none.
    get.setAutoStartService(false);
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(get, 2000), this);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, this, [this, question, pending] {
        pending->deleteLater();
        // A tray that changed again since is asked again.
        if (question != questions_) return;
        const QDBusMessage reply = pending->reply();
        answer(reply.type() == QDBusMessage::ReplyMessage && reply.signature() == "v" &&
               reply.arguments().front().value<QDBusVariant>().variant().toBool());
    });
}

void TrayPresence::answer(bool statusNotifierHost) {
    Kind kind = Kind::statusNotifier;
    // Asked only now: Qt decides once, at its first look, whether its own icons go to a
    // D-Bus tray, and kestr's icon there is kestr's own.
    if (!statusNotifierHost) kind = QSystemTrayIcon::isSystemTrayAvailable() ? Kind::xembed : Kind::none;
    if (onAnswer) onAnswer(kind);
}

}  // namespace kestr
