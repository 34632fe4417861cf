// The status item of a desktop without a system tray: a small frameless window that
// stays on top at the top right of the main display's room for windows (below or beside
// its panels) and behaves as the button (picture, clicks, the menu under it).
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "Platform/Geometry.h"
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
    // Moves the button to the top right of the main display's room for windows as it is
    // now; the owner calls it when the monitors or the panels' strips change.
    void followMainDisplay();

protected:
    void present(const QImage& picture) override;

private:
    class ButtonWindow;
    // The strip along the main display's top edge that the button at `frame` stands in,
    // from the edge down to its bottom; empty where the button stands lower or the
    // window system keeps no strips.
    Rect stripUnder(const QRect& frame) const;
    // Keeps that strip clear of other windows, and tells the owner when it is not as
    // deep as it said.
    void keepStripUnder(const QRect& frame);
    QRect askedFrame() const;
    // Where the window system reports the window now stands.
    void placed();
    // The main display's room for windows, without the strip the button keeps; the whole
    // display where the window system cannot tell.
    Rect room() const;

    std::unique_ptr<ButtonWindow> window_;
    QRect asked_;
    // A place the window was reported at, away from the one asked for last, for which
    // the window manager was asked once more.
    std::optional<QPoint> doubted_;
    std::optional<Rect> kept_;
};

}  // namespace kestr
