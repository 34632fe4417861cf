// The one table from the symbol names the interface asks for to icons of the Adwaita
// symbolic theme, loaded from a fixed theme folder so that every machine draws the same
// glyphs, and tinted in one colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <optional>
#include <string>

namespace kestr {

struct SymbolImages {
    // The theme icon that stands for a symbol name; none when the table has no entry.
    static std::optional<std::string> themeName(const std::string& symbol);
    // Side of the square a symbol takes at a point size.
    static int side(double pointSize);
    // The symbol at `pointSize`, every pixel in `tint` (keeping the glyph's coverage),
    // drawn for `devicePixelRatio`. A null image when the table has no entry or the
    // theme lacks the icon.
    static QImage image(const std::string& symbol, double pointSize, const QColor& tint, double devicePixelRatio = 1.0);
    // The same at twice the pixel density, as a pixmap for a label or a button; a null
    // pixmap when there is no image.
    static QPixmap pixmap(const std::string& symbol, double pointSize, const QColor& tint);
};

}  // namespace kestr
