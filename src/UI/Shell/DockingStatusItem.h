// The status item where the desktop has room for it: in its tray when it has one, else in
// a window of its own at the right end of the main display's top edge. Panels start after
// kestr at a login and are restarted: the item moves into a tray that appears and back
// into its window when the tray goes, keeping its picture, texts and menu.
#pragma once

#include <memory>

#include "UI/Shell/StatusItem.h"
#include "UI/Shell/TrayPresence.h"

namespace kestr {

class DockingStatusItem final : public StatusItem {
public:
    DockingStatusItem();
    ~DockingStatusItem() override;

    // Until the desktop has said which tray it has, the item shows nowhere.
    std::optional<QRect> buttonFrame() const override { return shown_ ? shown_->buttonFrame() : std::nullopt; }
    std::optional<QPoint> clickPoint() const override { return shown_ ? shown_->clickPoint() : std::nullopt; }
    void popUpMenu(QMenu& menu) override {
        if (shown_) shown_->popUpMenu(menu);
    }
    void keepMenu(MenuBuilder build, MenuDigest digest) override;
    void refreshMenu() override {
        if (shown_) shown_->refreshMenu();
    }
    double keptTopStrip() const override { return shown_ ? shown_->keptTopStrip() : 0; }

    // Moves the button to the main display as it is now, when it shows in its own window.
    void followMainDisplay();

protected:
    void changed(double fadeSeconds, bool newImage) override;

private:
    // Moves the item when the tray to be in has changed.
    void dock(TrayPresence::Kind now);

    std::unique_ptr<StatusItem> shown_;
    TrayPresence::Kind place_ = TrayPresence::Kind::none;
    TrayPresence presence_;
    MenuBuilder build_;
    MenuDigest digest_;
};

}  // namespace kestr
