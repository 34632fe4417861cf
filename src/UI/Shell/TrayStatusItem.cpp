#include "UI/Shell/TrayStatusItem.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>

namespace kestr {

TrayStatusItem::TrayStatusItem() {
    QObject::connect(&tray_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!onClick) return;
        if (reason == QSystemTrayIcon::Context) {
            onClick(Click{true, false});
        } else if (reason == QSystemTrayIcon::Trigger) {
            onClick(Click{false, QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier)});
        }
    });
    tray_.show();
}

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

void TrayStatusItem::present(const QImage& picture) {
    tray_.setIcon(QIcon(QPixmap::fromImage(picture)));
    tray_.setToolTip(toolTip());
}

}  // namespace kestr
