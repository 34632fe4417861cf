// The status item of a desktop without a system tray: a small frameless window that
// stays on top at the right end of the main display's top edge and behaves as the
// button (picture, clicks, the menu under it).
#pragma once

#include <QWidget>
#include <memory>

#include "UI/Shell/DrawnStatusItem.h"

namespace kestr {

class WindowStatusItem final : public DrawnStatusItem {
public:
    WindowStatusItem();
    ~WindowStatusItem() override;

    std::optional<QRect> buttonFrame() const override;
    void popUpMenu(QMenu& menu) override;
    double keptTopStrip() const override;
    QWidget& window();
    // Moves the button to the right end of the main display's top edge as it is now; the
    // owner calls it when the monitors change.
    void followMainDisplay();

protected:
    void present(const QImage& picture) override;

private:
    class ButtonWindow;
    std::unique_ptr<ButtonWindow> window_;
};

}  // namespace kestr
