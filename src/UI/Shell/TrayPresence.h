// Which tray the desktop offers kestr's item now, and word when that may have changed: a
// panel that speaks the StatusNotifierItem protocol (a watcher with a host on the session
// bus) comes first, else an XEmbed tray on the screen. Panels start after kestr at a login
// and are restarted, so the answer changes while kestr runs.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QScreen;

namespace kestr {

class TrayPresence final : public QObject {
    Q_OBJECT
public:
    enum class Kind { none, statusNotifier, xembed };

    TrayPresence();
    ~TrayPresence() override;

    // The tray there is now.
    static Kind now();
    // Called on the event loop after a tray came, went or was restarted.
    std::function<void()> onChange;

private Q_SLOTS:
    void changed();
    void xembedTrayChanged(QScreen* screen);

private:
    std::unique_ptr<QDBusServiceWatcher> watcher_;
};

}  // namespace kestr
