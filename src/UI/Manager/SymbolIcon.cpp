#include "UI/Manager/SymbolIcon.h"

#include "UI/SymbolImages.h"

namespace kestr {

QPixmap symbolPixmap(const std::string& symbol, double pointSize, const QColor& tint) {
    const QImage image = SymbolImages::image(symbol, pointSize, tint, 2.0);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace kestr
