// The status item in the desktop's system tray.
#pragma once

#include <QSystemTrayIcon>

#include "UI/Shell/DrawnStatusItem.h"

namespace kestr {

class TrayStatusItem final : public DrawnStatusItem {
public:
    TrayStatusItem();
    // Whether the desktop has a tray to put the item in.
    static bool isAvailable();

    std::optional<QRect> buttonFrame() const override;
    void popUpMenu(QMenu& menu) override;

protected:
    void present(const QImage& picture) override;

private:
    QSystemTrayIcon tray_;
};

}  // namespace kestr
