// kestr's accent: the highlighted drag-snap slot, the zones of snap glyphs and the
// pressed edge handle.
#pragma once

#include <QColor>

namespace kestr {

inline QColor accentColor(double alpha = 1.0) { return QColor::fromRgbF(0.827f, 0.776f, 0.667f, float(alpha)); }

}  // namespace kestr
