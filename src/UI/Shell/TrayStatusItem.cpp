#include "UI/Shell/TrayStatusItem.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "UI/DisplayArea.h"
#include "UI/Shell/DBusMenuExporter.h"
#include "UI/Shell/StatusNotifierItem.h"

namespace kestr {

TrayStatusItem::TrayStatusItem(TrayPresence::Kind kind) {
    QObject::connect(&menu_, &QMenu::aboutToShow, [this] { menuOpening(); });
    if (kind == TrayPresence::Kind::statusNotifier) {
        item_ = std::make_unique<StatusNotifierItem>();
        item_->menu().onAboutToShow = [this] { menuOpening(); };
        item_->onActivate = [this](QPoint) { activated(QSystemTrayIcon::Trigger); };
        item_->onContextMenu = [this](QPoint) { activated(QSystemTrayIcon::Context); };
        return;
    }
    tray_ = std::make_unique<QSystemTrayIcon>();
    tray_->setContextMenu(&menu_);
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    // The tray shows the item once it has its first picture (present).
}

TrayStatusItem::~TrayStatusItem() = default;

std::optional<QRect> TrayStatusItem::buttonFrame() const {
    const QRect frame = tray_ ? tray_->geometry() : QRect();
    if (frame.isEmpty()) return std::nullopt;
    return frame;
}

DBusMenuExporter* TrayStatusItem::exportedMenu() { return item_ ? &item_->menu() : nullptr; }

void TrayStatusItem::popUpMenu(QMenu& menu) {
    const auto frame = buttonFrame();
    menu.exec(frame ? frame->bottomLeft() : QCursor::pos());
}

void TrayStatusItem::keepMenu(MenuBuilder build, MenuDigest digest) {
    build_ = std::move(build);
    digest_ = std::move(digest);
    refreshMenu();
}

void TrayStatusItem::menuOpening() {
    // A tray asks at every opening, and may ask again and again: making a menu of many
    // kests costs far more than telling that nothing it shows has changed.
    if (built_ && builtDigest_ && digest_ && digest_() == *builtDigest_) return;
    refreshMenu();
}

void TrayStatusItem::refreshMenu() {
    builtDigest_.reset();
    // An open menu is made again the next time it opens.
    if (!build_ || menu_.isVisible()) return;
    const std::optional<std::uint64_t> digest = digest_ ? std::optional(digest_()) : std::nullopt;
    std::unique_ptr<QMenu> fresh = build_();
    builtDigest_ = digest;
    // A D-Bus tray keeps the entries it has while they show the same: their ids stay, and
    // the entries go on running the commands of the menu that made them.
    if (item_ && !item_->menu().show(*fresh) && built_) return;
    menu_.clear();
    menu_.setToolTipsVisible(fresh->toolTipsVisible());
    menu_.addActions(fresh->actions());
    // Later: this may run from one of the old entries' own commands.
    if (built_) built_.release()->deleteLater();
    built_ = std::move(fresh);
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
    // A copy of its own, so the kept menu stays as the tray has it.
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
    const QImage square = trayPicture(picture);
    if (item_) {
        item_->setPicture(square);
        item_->setToolTip(toolTip());
        return;
    }
    tray_->setIcon(QIcon(QPixmap::fromImage(square)));
    tray_->setToolTip(toolTip());
    if (!tray_->isVisible()) tray_->show();
}

}  // namespace kestr
