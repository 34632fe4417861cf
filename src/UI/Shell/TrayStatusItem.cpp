#include "UI/Shell/TrayStatusItem.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "UI/DisplayArea.h"
#include "UI/Shell/TrayMenuKeys.h"

namespace kestr {

TrayStatusItem::TrayStatusItem() {
    nameTrayMenuKeysAsTheDesktopDoes();
    // Before the tray is shown: a D-Bus tray reads the menu when the item registers.
    tray_.setContextMenu(&menu_);
    QObject::connect(&menu_, &QMenu::aboutToShow, [this] { refreshMenu(); });
    QObject::connect(&tray_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    // The tray shows the item once it has its first picture (present).
}

TrayStatusItem::~TrayStatusItem() = default;

bool TrayStatusItem::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

std::optional<QRect> TrayStatusItem::buttonFrame() const {
    const QRect frame = tray_.geometry();
    if (frame.isEmpty()) return std::nullopt;
    return frame;
}

void TrayStatusItem::popUpMenu(QMenu& menu) {
    const auto frame = buttonFrame();
    menu.exec(frame ? frame->bottomLeft() : QCursor::pos());
}

void TrayStatusItem::keepMenu(MenuBuilder build) {
    build_ = std::move(build);
    refreshMenu();
}

void TrayStatusItem::refreshMenu() {
    // An open menu is made again the next time it opens.
    if (!build_ || menu_.isVisible()) return;
    std::unique_ptr<QMenu> fresh = build_();
    // The menu itself stays, so a D-Bus tray keeps the object it reads and hears of
    // the new layout; it shows the entries of the one just made, which owns them (and
    // is what their commands are connected through) until the next one.
    // A D-Bus tray shows each entry's keys from its shortcut; the keys written after a tab
    // in its text would show a second time.
    if (menu_.platformMenu()) dropKeysFromTexts(*fresh);
    menu_.clear();
    menu_.setToolTipsVisible(fresh->toolTipsVisible());
    menu_.addActions(fresh->actions());
    if (built_) built_.release()->deleteLater();
    built_ = std::move(fresh);
}

void TrayStatusItem::dropKeysFromTexts(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (QMenu* submenu = action->menu()) dropKeysFromTexts(*submenu);
        const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
        if (tab >= 0) action->setText(action->text().left(tab));
    }
}

void TrayStatusItem::activated(QSystemTrayIcon::ActivationReason reason) {
    const bool control = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    if (reason == QSystemTrayIcon::Context || (reason == QSystemTrayIcon::Trigger && control)) {
        if (build_) {
            popUpKeptMenu();
        } else if (onClick) {
            onClick(Click{true, false});
        }
        return;
    }
    if (reason != QSystemTrayIcon::Trigger || !onClick) return;
    // A D-Bus tray does not say where its icon is; the click was where the pointer is.
    if (const auto pointer = pointerLocation()) clickPoint_ = QPoint(int(pointer->x), int(pointer->y));
    onClick(Click{false, false});
}

void TrayStatusItem::popUpKeptMenu() {
    // An XEmbed tray has opened it already on the right click.
    if (menu_.isVisible()) return;
    menu_.popup(QCursor::pos());
}

QImage TrayStatusItem::trayPicture(const QImage& picture) {
    // What is drawn, without the room the button leaves around its image.
    QRect drawn;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) > 0) drawn |= QRect(x, y, 1, 1);
        }
    }
    if (drawn.isEmpty()) return picture;
    const int side = std::max(drawn.width(), drawn.height());
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    // Pixel for pixel, at the size it was drawn: the tray scales it to its slot (a picture
    // kept at the button's points would stay that small in a larger slot).
    QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pixels.setDevicePixelRatio(1);
    QPainter painter(&square);
    painter.drawImage(QPoint((side - drawn.width()) / 2, (side - drawn.height()) / 2), pixels, drawn);
    return square;
}

void TrayStatusItem::present(const QImage& picture) {
    // A tray gives each item a small square: the picture fills it.
    tray_.setIcon(QIcon(QPixmap::fromImage(trayPicture(picture))));
    tray_.setToolTip(toolTip());
    if (!tray_.isVisible()) tray_.show();
}

}  // namespace kestr
