#include "UI/Shell/StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include "UI/Shell/DBusMenuExporter.h"
#include "UI/Shell/DBusCallAnswer.h"

namespace kestr {

namespace {

const char* const itemInterface = "org.kde.StatusNotifierItem";
const char* const itemPath = "/StatusNotifierItem";
const char* const menuPath = "/MenuBar";

const DBusMethod itemMethods[] = {
    {"Activate", "ii"},
    {"ContextMenu", "ii"},
    {"SecondaryActivate", "ii"},
    {"Scroll", "is"},
};
const DBusSignal itemSignals[] = {
    {"NewIcon", ""},
    {"NewToolTip", ""},
    {"NewTitle", ""},
    {"NewStatus", "s"},
};
const DBusInterface itemDescription{itemInterface, itemMethods, itemSignals};

// One picture: width, height and ARGB pixels in network byte order.
struct Pixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using Pixmaps = QList<Pixmap>;

struct ToolTip {
    Pixmaps pixmaps;
    QString title;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Pixmap& pixmap) {
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.pixels;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Pixmap& pixmap) {
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.pixels;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const ToolTip& tip) {
    argument.beginStructure();
    argument << QString() << tip.pixmaps << tip.title << QString();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ToolTip& tip) {
    QString ignored;
    argument.beginStructure();
    argument >> ignored >> tip.pixmaps >> tip.title >> ignored;
    argument.endStructure();
    return argument;
}

Pixmap pixmapOf(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    Pixmap pixmap{argb.width(), argb.height(), {}};
    pixmap.pixels.reserve(argb.width() * argb.height() * 4);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = line[x];
            for (const int part : {qAlpha(p), qRed(p), qGreen(p), qBlue(p)}) pixmap.pixels.push_back(char(part));
        }
    }
    return pixmap;
}

int connections = 0;

}  // namespace

class StatusNotifierItem::Object final : public QDBusVirtualObject {
public:
    explicit Object(StatusNotifierItem& item)
        : item_(item),
          connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                    QString("kestr-status-notifier-item-%1").arg(++connections))),
          service_(
              QString("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(connections)) {
        static const bool registered = [] {
            qDBusRegisterMetaType<Pixmap>();
            qDBusRegisterMetaType<Pixmaps>();
            qDBusRegisterMetaType<ToolTip>();
            return true;
        }();
        (void)registered;
    }
    ~Object() override {
        connection_.unregisterObject(itemPath);
        connection_.unregisterService(service_);
        QDBusConnection::disconnectFromBus(connection_.name());
    }

    QDBusConnection& connection() { return connection_; }
    Pixmaps icon;
    QString toolTip;

    void registerWithWatcher() {
        if (!connection_.isConnected()) return;
        connection_.registerVirtualObject(itemPath, this);
        connection_.registerService(service_);
        QDBusMessage call =
            QDBusMessage::createMethodCall("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                           "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem");
        call << service_;
        connection_.send(call);
    }

    void tell(const char* signal) { connection_.send(QDBusMessage::createSignal(itemPath, itemInterface, signal)); }

    QString introspect(const QString&) const override { return introspection(itemDescription, properties()); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        return answerDBusCall(
            message, connection, itemDescription, [this] { return properties(); }, [&] { return answer(message); });
    }

private:
    QDBusMessage answer(const QDBusMessage& message) {
        const QString member = message.member();
        if (member == "Activate" || member == "ContextMenu") {
            // Answered first: the tray waits for the answer, and what the click opens may
            // take its time.
            const QVariantList in = message.arguments();
            const QPoint where(in[0].toInt(), in[1].toInt());
            const bool left = member == "Activate";
            QMetaObject::invokeMethod(
                this,
                [this, left, where] {
                    const auto& run = left ? item_.onActivate : item_.onContextMenu;
                    if (run) run(where);
                },
                Qt::QueuedConnection);
        }
        return message.createReply();
    }

    QVariantMap properties() const {
        return {{"Category", QStringLiteral("ApplicationStatus")},
                {"Id", QStringLiteral("kestr")},
                {"Title", QStringLiteral("kestr")},
                {"Status", QStringLiteral("Active")},
                {"WindowId", 0},
                {"IconName", QString()},
                {"IconPixmap", QVariant::fromValue(icon)},
                {"ToolTip", QVariant::fromValue(ToolTip{{}, toolTip})},
                {"ItemIsMenu", false},
                {"Menu", QVariant::fromValue(QDBusObjectPath(menuPath))}};
    }

    StatusNotifierItem& item_;
    QDBusConnection connection_;
    QString service_;
};

StatusNotifierItem::StatusNotifierItem()
    : object_(std::make_unique<Object>(*this)),
      menu_(std::make_unique<DBusMenuExporter>(object_->connection(), menuPath)) {
    // The menu is in place before the tray hears of the item and reads it.
    object_->registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem() {
    menu_.reset();
    object_.reset();
}

void StatusNotifierItem::setPicture(const QImage& picture) {
    object_->icon = {pixmapOf(picture)};
    object_->tell("NewIcon");
}

void StatusNotifierItem::setToolTip(const QString& toolTip) {
    if (toolTip == object_->toolTip) return;
    object_->toolTip = toolTip;
    object_->tell("NewToolTip");
}

}  // namespace kestr
