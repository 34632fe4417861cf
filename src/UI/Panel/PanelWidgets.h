// The plain pieces the panel is built from: labels, separators, the accent button and
// the rounded banner backgrounds, each placed at a frame in its parent.
#pragma once

#include <QFont>
#include <QString>
#include <functional>

#include "Platform/Geometry.h"
#include "UI/AdaptiveColor.h"

class QLabel;
class QPushButton;
class QWidget;

namespace kestr {

struct PanelWidgets {
    // A read-only, unbordered text without background.
    static QLabel* label(QWidget* parent, const QString& text, const QFont& font, const AdaptiveColor& colour,
                         const Rect& frame, Qt::Alignment alignment = Qt::AlignLeft);
    // A one-point separator line.
    static QWidget* separator(QWidget* parent, const Rect& frame);
    // A rounded rectangle with a tinted fill and a one-point border.
    static QWidget* banner(QWidget* parent, const Rect& frame, const QColor& fill, const QColor& border);
    // The filled accent button: white 12-point semibold title on the accent colour.
    static QPushButton* accentButton(QWidget* parent, const QString& title, std::function<void()> action);
    // A small rounded push button in the 12-point system font.
    static QPushButton* button(QWidget* parent, const QString& title, std::function<void()> action);
    // The font made smaller, a point at a time down to `minimumSize`, until the text fits
    // in `width` on one line.
    static QFont fitted(QFont font, const QString& text, double width, int minimumSize);
    // The height wrapped text needs within `width`, at most `maxHeight`.
    static double wrappedHeight(const QFont& font, const QString& text, double width, double maxHeight);
};

}  // namespace kestr
