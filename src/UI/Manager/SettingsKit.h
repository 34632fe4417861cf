// The look the manager window's pages share: a page background, rounded cards of 44-point
// rows (title on the left, a control or value on the right) with hairlines between them.
#pragma once

#include <QString>

#include "UI/AdaptiveColor.h"
#include <vector>

class QLabel;
class QWidget;

namespace kestr {

struct SettingsKit {
    // Colours that follow the appearance.
    static AdaptiveColor cardFill();
    static AdaptiveColor headerShade();
    static AdaptiveColor dividerColor();
    // The system's text background.
    static QColor pageFill();

    // A 13-point value label in the secondary colour, aligned right.
    static QLabel* value(const QString& text);
    // One 44-point row: the title at the left (it gives way first), `trailing` at the right.
    static QWidget* row(const QString& title, QWidget* trailing);
    // A one-point divider.
    static QWidget* hairline();
    // A rounded card stacking the rows, with hairlines between them.
    static QWidget* card(const std::vector<QWidget*>& rows);
};

}  // namespace kestr
