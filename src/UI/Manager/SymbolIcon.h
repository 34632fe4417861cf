// A named symbol as a pixmap for a label, tinted; empty when the symbol has no image.
#pragma once

#include <QColor>
#include <QPixmap>
#include <string>

namespace kestr {

QPixmap symbolPixmap(const std::string& symbol, double pointSize, const QColor& tint);

}  // namespace kestr
