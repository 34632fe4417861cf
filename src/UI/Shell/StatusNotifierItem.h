// kestr's item in a tray that speaks the StatusNotifierItem protocol over the session bus
// (the trays of KDE, Xfce, LXQt, tint2's hosts …): its picture, tooltip and menu, and the
// clicks the tray passes on. It has a connection of its own, so the tray drops the item
// when it goes.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

namespace kestr {

class DBusMenuExporter;

class StatusNotifierItem {
public:
    // Registers the item with the tray's watcher. Throws nothing: without a bus or a
    // watcher the item is simply not shown.
    StatusNotifierItem();
    ~StatusNotifierItem();
    StatusNotifierItem(const StatusNotifierItem&) = delete;
    StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

    void setPicture(const QImage& picture);
    void setToolTip(const QString& toolTip);
    DBusMenuExporter& menu() { return *menu_; }

    // A left click; a right click the tray leaves to the item. Where, on screen.
    std::function<void(QPoint)> onActivate;
    std::function<void(QPoint)> onContextMenu;

private:
    class Object;
    std::unique_ptr<Object> object_;
    std::unique_ptr<DBusMenuExporter> menu_;
};

}  // namespace kestr
