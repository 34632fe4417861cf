// Which tray the desktop offers kestr's item, asked at the start and again whenever that
// may have changed: a panel that speaks the StatusNotifierItem protocol (a watcher with a
// host on the session bus) comes first, else an XEmbed tray on the screen. Panels start
// after kestr at a login and are restarted, so the answer changes while kestr runs. The
// watcher is asked without waiting for it: a panel that is slow to answer (or never
// does) holds nothing of kestr's up.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace kestr {

class TrayPresence final : public QObject {
    Q_OBJECT
public:
    enum class Kind { none, statusNotifier, xembed };

    TrayPresence();
    ~TrayPresence() override;

    // The tray there is: after ask(), and after a tray came, went or was restarted.
    std::function<void(Kind)> onAnswer;

public Q_SLOTS:
    // Asks which tray there is; the answer comes to onAnswer, on the event loop (at once
    // when there is no session bus). Only the last question is answered.
    void ask();

private:
    void answer(bool statusNotifierHost);

    std::unique_ptr<QDBusServiceWatcher> watcher_;
    unsigned questions_ = 0;
};

}  // namespace kestr
