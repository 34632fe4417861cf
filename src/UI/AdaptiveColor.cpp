#include "UI/AdaptiveColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace kestr {

bool AdaptiveColor::darkAppearance() {
    if (!qGuiApp) return false;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor AdaptiveColor::resolved() const { return darkAppearance() ? dark : light; }

}  // namespace kestr
