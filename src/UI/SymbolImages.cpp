#include "UI/SymbolImages.h"

#include <QIcon>
#include <QPainter>
#include <cmath>
#include <map>

namespace kestr {

namespace {

// The theme is read from the folder the icon-theme package installs into, never from
// the user's or the desktop's settings.
const char* const themeFolder = "/usr/share/icons";
const char* const themeName = "Adwaita";

void useOurTheme() {
    static const bool done = [] {
        QIcon::setThemeSearchPaths({QString::fromLatin1(themeFolder)});
        QIcon::setThemeName(QString::fromLatin1(themeName));
        return true;
    }();
    (void)done;
}

}  // namespace

std::optional<std::string> SymbolImages::themeName(const std::string& symbol) {
    static const std::map<std::string, std::string> table = {
        {"eject", "media-eject-symbolic"},
        {"square.grid.2x2", "view-grid-symbolic"},
        {"plus.square", "list-add-symbolic"},
        {"gearshape", "emblem-system-symbolic"},
        {"plus", "list-add-symbolic"},
        {"minus", "list-remove-symbolic"},
        {"chevron.up", "go-up-symbolic"},
        {"chevron.down", "go-down-symbolic"},
        {"power", "system-shutdown-symbolic"},
        {"hand.raised.fill", "preferences-desktop-accessibility-symbolic"},
        {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
        {"checkmark", "object-select-symbolic"},
        {"square.and.arrow.down", "document-save-symbolic"},
        {"wand.and.stars", "starred-symbolic"},
        {"arrow.up.left.and.arrow.down.right", "view-fullscreen-symbolic"},
        {"arrow.down.right.and.arrow.up.left", "view-restore-symbolic"},
        {"arrow.uturn.backward", "edit-undo-symbolic"},
        {"app", "application-x-executable-symbolic"},
    };
    const auto it = table.find(symbol);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

int SymbolImages::side(double pointSize) { return static_cast<int>(std::lround(pointSize * 1.2)); }

QImage SymbolImages::image(const std::string& symbol, double pointSize, const QColor& tint, double devicePixelRatio) {
    const auto name = themeName(symbol);
    if (!name) return {};
    useOurTheme();
    const QIcon icon = QIcon::fromTheme(QString::fromStdString(*name));
    if (icon.isNull()) return {};
    const int s = side(pointSize);
    const int pixels = static_cast<int>(std::ceil(s * devicePixelRatio));
    QImage out(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        icon.paint(&p, QRect(0, 0, pixels, pixels));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(out.rect(), tint);
    }
    out.setDevicePixelRatio(devicePixelRatio);
    return out;
}

QPixmap SymbolImages::pixmap(const std::string& symbol, double pointSize, const QColor& tint) {
    const QImage picture = image(symbol, pointSize, tint, 2.0);
    return picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
}

}  // namespace kestr
