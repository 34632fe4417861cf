// The colours the menu bar draws in: the label colour of a light or dark appearance,
// the system's yellow and blue, and tinting of one-colour images.
#pragma once

#include <QColor>
#include <QImage>
#include <optional>

namespace kestr {

struct MenuBarTint {
    static QColor label(bool dark);
    static QColor systemYellow(bool dark);
    static QColor systemBlue(bool dark);
    // Whether the system draws dark now (the platform's appearance).
    static bool systemIsDark();
    // `dark`, or the system's appearance when none is given.
    static bool resolve(std::optional<bool> dark) { return dark ? *dark : systemIsDark(); }
    // Every pixel of the image in `colour`, keeping the image's coverage.
    static QImage tinted(const QImage& image, const QColor& colour);
    // The label colour of the panel that holds the status item, where the desktop tells
    // it (the platform's appearance); none where the item must read on any panel.
    static std::optional<QColor> panelLabel();
    // Whether pictures for the panel are drawn light: on a dark panel, and where the
    // panel does not say (they are then outlined).
    static bool panelIsDark();
    // The picture with a dark ring `width` points wide around everything drawn in it:
    // drawn light, it then reads on dark and light panels alike.
    static QImage outlined(const QImage& picture, double width = 1);
};

}  // namespace kestr
