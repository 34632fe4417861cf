// A minimal tray host on a private session bus, as a panel with a StatusNotifierItem
// tray is: it owns org.kde.StatusNotifierWatcher with a host registered, records the
// items that register, and reads and drives them (their properties, their D-Bus menu,
// their clicks). It answers on the Qt event loop of the test program. A host made while
// another owns the watcher's name waits for it and takes the name in one step when the
// other goes, as a panel restarted in place does.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <string>
#include <vector>

namespace kestr::x11test {

class TrayHost {
public:
    // One entry of an item's D-Bus menu, with its entries when it is a submenu.
    struct MenuEntry {
        int id = 0;
        QString label;
        // The keys the entry shows: each press, its modifiers then its key.
        QList<QStringList> keys;
        std::vector<MenuEntry> children;
        // This entry and every one below it, depth first.
        std::vector<const MenuEntry*> all() const;
        // The first entry whose label contains `text`; null when none does.
        const MenuEntry* find(const QString& text) const;
    };

    explicit TrayHost(const std::string& busAddress);
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // The bus names of the items that registered, in order.
    QStringList items() const;
    // How often the watcher was asked whether it has a host.
    int hostQuestions() const;
    // The watcher takes calls and answers none, as a panel that hangs.
    void stopAnswering();
    // The calls held since, answered at last with an error, as their callers' time-outs
    // would; then the watcher says a host came, as a panel does.
    void answerLate();
    // The watcher's name goes to the next in line, the watcher staying on the bus.
    void giveUpName();
    QVariant itemProperty(const QString& item, const QString& name);
    // Calls a method of the item's StatusNotifierItem object; the reply (an error
    // message when the item did not answer within `milliseconds`).
    QDBusMessage callItem(const QString& item, const QString& method, const QVariantList& arguments,
                          int milliseconds = 2000);
    // The whole menu at `path` of the item (GetLayout from the root, every level), with the
    // properties `names` (all when empty).
    MenuEntry menu(const QString& item, const QString& path, const QStringList& names = {}, int milliseconds = 2000);
    // Any call on the item's menu, answered within two seconds (else an error message).
    QDBusMessage callMenu(const QString& item, const QString& path, const QString& method,
                          const QVariantList& arguments, int milliseconds = 2000);
    // What a host says before it shows the menu (or the submenu of entry `id`).
    QDBusMessage aboutToShow(const QString& item, const QString& path, int id);
    // A click on a menu entry, as the host sends it.
    QDBusMessage clickMenuEntry(const QString& item, const QString& path, int id);

private:
    class Watcher;
    QDBusConnection connection_;
    std::unique_ptr<Watcher> watcher_;
};

}  // namespace kestr::x11test
