// A menu as a tray over D-Bus reads it (com.canonical.dbusmenu): its entries, their
// labels, states and keys, and the clicks on them. An entry keeps its id for as long as
// its place in the menu holds one, so a tray asking again and again sees the same menu;
// the tray hears of a new layout only when what the menu shows changed.
#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QDBusConnection;
class QKeySequence;
class QMenu;

namespace kestr {

class DBusMenuExporter {
public:
    // Puts the (empty) menu at `path` on `connection`.
    DBusMenuExporter(const QDBusConnection& connection, const QString& path);
    ~DBusMenuExporter();
    DBusMenuExporter(const DBusMenuExporter&) = delete;
    DBusMenuExporter& operator=(const DBusMenuExporter&) = delete;

    // Shows the entries of `menu`, which must live until the next call (its actions run
    // the clicks). Returns whether the tray sees anything new; when not, the entries keep
    // running the actions of the menu shown before, and `menu` is not used.
    bool show(QMenu& menu);
    // Called when a tray is about to open the menu, before it is asked whether it changed.
    std::function<void()> onAboutToShow;
    // What a tray's AboutToShow runs: tells onAboutToShow, then answers whether the tray
    // sees anything new.
    bool aboutToShow();

    // The label of an entry whose menu text (where "&&" is an "&" and keys follow a tab) is
    // `text`, as the tray takes it: "_" marks an access key, so each "_" is written twice.
    static QString label(const QString& text, bool keysInLabel);
    // An entry's keys: each press its modifiers, then the key as the desktop names it.
    static QList<QStringList> keys(const QKeySequence& sequence);

    struct Entry {
        QVariantMap properties;
        std::vector<int> children;
        QPointer<QAction> action;
        // What the action runs on (a kest's identifier), which its label may not tell
        // apart (two kests of one name).
        QVariant data;
        // Shown the same, the entries below it aside.
        bool showsSame(const Entry& other) const { return properties == other.properties && data == other.data; }
        bool sameAs(const Entry& other) const { return showsSame(other) && children == other.children; }
    };

private:
    class Object;
    // The root entry alone, as an empty menu has it.
    static std::map<int, Entry> emptyMenu();
    // The entries of `menu` under `parent`, whose place in the menu is `place`.
    void read(QMenu& menu, int parent, const QString& place, std::map<int, Entry>& into);
    static Entry entryOf(QAction& action);
    int idFor(const QString& place, const Entry& entry);
    void layoutChanged();

    QString path_;
    std::unique_ptr<Object> object_;
    std::map<int, Entry> entries_;
    std::map<QString, int> ids_;
    int nextID_ = 1;
    // The layout's counter, raised with every change shown.
    unsigned revision_ = 1;
    friend class Object;
};

}  // namespace kestr
