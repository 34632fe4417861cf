#include "UI/Manager/SymbolIcon.h"

namespace kestr {

QPixmap symbolPixmap(const std::string&, double, const QColor&) { return {}; }

}  // namespace kestr
