// A status item for tests: it keeps what the real ones would show, records each
// change of image with its fade, the menus popped up, and lets a test click it.
#pragma once

#include <QMenu>
#include <QString>
#include <vector>

#include "UI/Shell/StatusItem.h"

namespace kestr::test {

class RecordingStatusItem : public StatusItem {
public:
    struct ImageChange {
        QString description;
        double fadeSeconds = 0;
    };

    std::optional<QRect> buttonFrame() const override { return frame; }
    std::optional<QPoint> clickPoint() const override { return point; }
    void keepMenu(MenuBuilder build, MenuDigest digest) override {
        buildMenu = std::move(build);
        menuDigest = std::move(digest);
    }
    void refreshMenu() override { ++menuRefreshes; }
    double keptTopStrip() const override { return keptStrip; }
    void popUpMenu(QMenu& menu) override {
        poppedMenus.push_back(menu.actions().size());
        if (onPopUp) onPopUp(menu);
    }

    void leftClick(bool control = false) {
        if (onClick) onClick(Click{false, control});
    }
    void rightClick() {
        if (onClick) onClick(Click{true, false});
    }

    std::optional<QRect> frame = QRect(1800, 0, 28, 22);
    std::optional<QPoint> point;
    double keptStrip = 0;
    // The menu the item keeps for the desktop, and how often it was asked to make it again.
    MenuBuilder buildMenu;
    MenuDigest menuDigest;
    int menuRefreshes = 0;
    std::vector<ImageChange> imageChanges;
    // The number of entries of each menu popped up.
    std::vector<qsizetype> poppedMenus;
    // Runs while a menu is up (the real item waits for the user here).
    std::function<void(QMenu&)> onPopUp;

protected:
    void changed(double fadeSeconds, bool newImage) override {
        if (newImage) imageChanges.push_back({image()->description, fadeSeconds});
    }
};

}  // namespace kestr::test
