// The status item in the desktop's system tray. The tray shows the item's own menu on
// a right click: an XEmbed tray through the menu Qt pops up, a tray that speaks the
// StatusNotifierItem protocol over D-Bus through the menu exported with the item. That
// menu is kept current (made again whenever the program's state changes, and before
// it shows). The menu kestr opens itself (a Control-click, or a D-Bus tray asking the
// item to show it) is a copy made afresh, with the keys written as every kestr menu
// writes them. No click waits for a menu to close, so a tray host calling the item over
// D-Bus always gets its answer at once.
#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

#include "UI/Shell/DrawnStatusItem.h"

namespace kestr {

class TrayStatusItem final : public DrawnStatusItem {
public:
    TrayStatusItem();
    ~TrayStatusItem() override;
    // Whether the desktop has a tray to put the item in.
    static bool isAvailable();

    std::optional<QRect> buttonFrame() const override;
    std::optional<QPoint> clickPoint() const override { return clickPoint_; }
    void popUpMenu(QMenu& menu) override;
    void keepMenu(MenuBuilder build) override;
    void refreshMenu() override;

    QSystemTrayIcon& tray() { return tray_; }
    // The menu the tray shows.
    QMenu& menu() { return menu_; }
    // The picture as the tray gets it: what is drawn, centred in the smallest square
    // that holds it.
    static QImage trayPicture(const QImage& picture);
    // The menu kestr opened itself last, while it lives.
    QMenu* ownMenu() const { return own_.get(); }
    // Writes every entry's text, submenus included, for a tray that draws the menu from
    // D-Bus: without the keys written after a tab (the tray shows them from the entry's
    // shortcut), and as that tray will draw it (dbusMenuText).
    static void writeTextsForDBusTray(QMenu& menu);
    // The text to give an entry whose menu text (where "&&" stands for "&") is `text`,
    // so that a D-Bus tray draws it letter for letter.
    static QString dbusMenuText(const QString& text);

protected:
    void present(const QImage& picture) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    // The kept menu at the pointer, without waiting for it to close.
    void popUpKeptMenu();

    // Declared before the tray, which refers to it until its end.
    QMenu menu_;
    QSystemTrayIcon tray_;
    MenuBuilder build_;
    std::optional<QPoint> clickPoint_;
    // The menu as last made, which owns the entries shown.
    std::unique_ptr<QMenu> built_;
    std::unique_ptr<QMenu> own_;
};

}  // namespace kestr
