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
    if (menu_.platformMenu()) writeTextsForDBusTray(*fresh);
    menu_.clear();
    menu_.setToolTipsVisible(fresh->toolTipsVisible());
    menu_.addActions(fresh->actions());
    if (built_) {
        // A submenu that goes with its entries still attached keeps the D-Bus copies
        // of them for good (a tray asks for the menu again at every opening); emptied
        // first, it lets them go.
        for (QMenu* submenu : built_->findChildren<QMenu*>()) submenu->clear();
        built_.release()->deleteLater();
    }
    built_ = std::move(fresh);
}

void TrayStatusItem::writeTextsForDBusTray(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (QMenu* submenu = action->menu()) writeTextsForDBusTray(*submenu);
        const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
        action->setText(dbusMenuText(tab >= 0 ? action->text().left(tab) : action->text()));
    }
}

QString TrayStatusItem::dbusMenuText(const QString& text) {
    // The text as a menu shows it: "&&" is an "&"; a single "&" marks an access key,
    // which these menus do not use.
    QString label;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        label += text[i];
    }
    // A D-Bus menu's label takes "_" as the mark of an access key and "__" as an "_".
    label.replace(QLatin1Char('_'), QStringLiteral("__"));
    // Qt hands the tray the first "&" of a text as that mark and every other as an "&".
    // The mark goes on an invisible first character (a word joiner), so each "&" of the
    // label is drawn as itself.
    if (label.contains(QLatin1Char('&'))) label.prepend(QStringLiteral("&\u2060"));
    return label;
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
    // The kept menu's texts may be written for a D-Bus tray; kestr draws a copy of its own.
    if (own_) own_.release()->deleteLater();
    own_ = build_();
    own_->popup(QCursor::pos());
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
