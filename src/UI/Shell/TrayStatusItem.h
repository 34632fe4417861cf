// The status item in the desktop's system tray. A tray that speaks the StatusNotifierItem
// protocol gets kestr's own item over D-Bus, with the status menu exported beside it; an
// XEmbed tray gets Qt's icon and shows the menu Qt pops up on a right click. That menu is
// kept current (made again whenever the program's state changes, and before it shows when
// what it shows changed since); a D-Bus tray hears of it only when what it shows changed. The menu kestr opens itself (a
// Control-click, or a D-Bus tray asking the item to show it) is a copy made afresh. No
// click waits for a menu to close, so a tray host calling the item over D-Bus always gets
// its answer at once.
#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

#include "UI/Shell/DrawnStatusItem.h"
#include "UI/Shell/TrayPresence.h"

namespace kestr {

class DBusMenuExporter;
class StatusNotifierItem;

class TrayStatusItem final : public DrawnStatusItem {
public:
    // In a tray of that kind: statusNotifier or xembed.
    explicit TrayStatusItem(TrayPresence::Kind kind);
    ~TrayStatusItem() override;

    std::optional<QRect> buttonFrame() const override;
    std::optional<QPoint> clickPoint() const override { return clickPoint_; }
    void popUpMenu(QMenu& menu) override;
    void keepMenu(MenuBuilder build, MenuDigest digest) override;
    void refreshMenu() override;

    // The XEmbed tray's icon; null in a D-Bus tray.
    QSystemTrayIcon* tray() { return tray_.get(); }
    // The menu the tray shows.
    QMenu& menu() { return menu_; }
    // That menu as a D-Bus tray reads it; null in an XEmbed tray.
    DBusMenuExporter* exportedMenu();
    // The picture as the tray gets it: what is drawn, centred in the smallest square
    // that holds it.
    static QImage trayPicture(const QImage& picture);
    // The menu kestr opened itself last, while it lives.
    QMenu* ownMenu() const { return own_.get(); }

protected:
    void present(const QImage& picture) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    // The kept menu at the pointer, without waiting for it to close.
    void popUpKeptMenu();
    // A tray is about to show the kept menu: made again only when what it shows changed.
    void menuOpening();

    // Declared before the tray, which refers to it until its end.
    QMenu menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<StatusNotifierItem> item_;
    MenuBuilder build_;
    MenuDigest digest_;
    // The digest of what the kept menu shows; none when it is to be made again.
    std::optional<std::uint64_t> builtDigest_;
    std::optional<QPoint> clickPoint_;
    // The menu as last made, which owns the entries shown.
    std::unique_ptr<QMenu> built_;
    std::unique_ptr<QMenu> own_;
};

}  // namespace kestr
