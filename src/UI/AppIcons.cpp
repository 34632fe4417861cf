#include "UI/AppIcons.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <map>

#include "Platform/Platform.h"

namespace kestr {

namespace {

// Lives with the platform, so every test starts with an empty cache.
struct AppIconCache {
    std::map<std::string, std::optional<QImage>> icons;
};

constexpr double stripIcon = 44;
constexpr double stripGap = 10;

}  // namespace

QImage AppIcons::decode(const EncodedImage& image, int side) {
    const QByteArray bytes = QByteArray::fromStdString(image.bytes);
    QImage out(side, side, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QSvgRenderer svg(bytes);
    if (svg.isValid()) {
        QPainter painter(&out);
        svg.render(&painter, QRectF(0, 0, side, side));
        return out;
    }
    QImage raster;
    if (!raster.loadFromData(bytes)) return {};
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, side, side), raster);
    return out;
}

std::optional<QImage> AppIcons::icon(const std::string& bundleID) {
    auto& cache = platform().shared<AppIconCache>().icons;
    if (auto it = cache.find(bundleID); it != cache.end()) return it->second;
    std::optional<QImage> result;
    Workspace& workspace = platform().workspace();
    if (const auto url = workspace.urlForApplication(bundleID)) {
        if (const auto encoded = workspace.iconForFile(*url)) {
            QImage decoded = decode(*encoded, pixels);
            if (!decoded.isNull()) result = decoded;
        }
    }
    cache.emplace(bundleID, result);
    return result;
}

QIcon AppIcons::own() {
    QFile file(QStringLiteral(":/kestr/kestr.svg"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const EncodedImage svg{file.readAll().toStdString()};
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(decode(svg, side)));
    return icon;
}

QImage AppIcons::strip(const std::vector<std::string>& bundleIDs, double scale) {
    std::vector<QImage> icons;
    for (const auto& id : bundleIDs) {
        if (auto image = icon(id)) icons.push_back(*image);
    }
    if (icons.empty()) return {};
    const double n = static_cast<double>(icons.size());
    const double width = (n - 1) * stripGap + n * stripIcon;
    QImage out(static_cast<int>(std::ceil(width * scale)), static_cast<int>(std::ceil(stripIcon * scale)),
               QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    out.setDevicePixelRatio(scale);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        painter.drawImage(QRectF(static_cast<double>(i) * (stripIcon + stripGap), 0, stripIcon, stripIcon), icons[i]);
    }
    return out;
}

}  // namespace kestr
