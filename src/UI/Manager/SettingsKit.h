// The look the manager window's pages share: a page background, rounded cards of 44-point
// rows (title on the left, a control or value on the right) with hairlines between them.
#pragma once

#include <QColor>
#include <QString>
#include <vector>

class QLabel;
class QWidget;

namespace kestr {

struct SettingsKit {
    // Colours that follow the appearance the widget is drawn in.
    static QColor cardFill(const QWidget* widget);
    static QColor headerShade(const QWidget* widget);
    static QColor dividerColor(const QWidget* widget);
    static QColor pageFill(const QWidget* widget);
    static QColor cardFill(bool dark);
    static QColor headerShade(bool dark);
    static QColor dividerColor(bool dark);

    // A 13-point value label in the secondary colour, aligned right.
    static QLabel* value(const QString& text);
    // One 44-point row: the title at the left (it gives way first), `trailing` at the right.
    static QWidget* row(const QString& title, QWidget* trailing);
    // A one-point divider.
    static QWidget* hairline();
    // A rounded card stacking the rows, with hairlines between them.
    static QWidget* card(const std::vector<QWidget*>& rows);
};

// Whether the widget is drawn in the dark appearance (by its palette's window colour).
bool isDarkAppearance(const QWidget* widget);

// Label colours of the system palette.
QColor secondaryLabelColor(const QWidget* widget);
QColor tertiaryLabelColor(const QWidget* widget);

}  // namespace kestr
