// --render-menubar-icons PATH: every picture the status button can show, side by side
// and ten times enlarged, on one PNG sheet, with a summary of their sizes.
#include <QPainter>
#include <filesystem>
#include <numeric>

#include "App/DiagnosticModes.h"
#include "App/PngEncoding.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "UI/MenuBarIcons.h"

namespace kestr {

namespace {

constexpr double enlargement = 10;
constexpr double margin = 16;
constexpr double band = 150;
constexpr double emptyCell = 220;
constexpr double sheetHeight = 182;

struct Variant {
    std::string name;
    std::optional<MenuBarImage> image;
};

std::vector<Variant> variants() {
    using Icons = MenuBarIcons;
    using Icon = MenuBarIcons::MenuIcon;
    const double s = enlargement;
    const auto idle = Icons::iconImage(Icon::idle, "idle", s);
    const auto badge = [](QImage image) { return std::optional<MenuBarImage>(MenuBarImage{image, false, {}}); };
    return {
        {"idle", idle},
        {"conflict",
         idle ? std::optional(Icons::badged(*Icons::iconImage(Icon::idle, "idle", s), std::nullopt, std::nullopt, s))
              : std::nullopt},
        {"saved",
         Icons::composite("menubar-saved-base", "menubar-saved-mark", Icons::heartColor(), std::nullopt, "saved", s)},
        {"alert", Icons::iconImage(Icon::alert, "alert", s)},
        {"apply",
         Icons::composite("menubar-apply-base", "menubar-apply-mark", Icons::sparkleColor(), std::nullopt, "apply", s)},
        {"kest•active", Icons::activeKestImage(s)},
        {"drag•pt",
         Icons::composite("menubar-idle-ring", "menubar-idle-fill", Icons::pointColor(), std::nullopt, "drag", s)},
        {"drag•warn",
         Icons::composite("menubar-idle-ring", "menubar-idle-fill", Icons::clippedColor(), std::nullopt, "drag", s)},
        {"badge·conflict", badge(Icons::cautionBadge(15, s))},
        {"badge·permission", badge(Icons::setupBadge(15, s))},
    };
}

double cellWidth(const Variant& v) { return v.image ? v.image->size().width() * enlargement : emptyCell; }

QImage drawSheet(const std::vector<Variant>& all) {
    const double width = std::accumulate(all.begin(), all.end(), margin,
                                         [](double sum, const Variant& v) { return sum + cellWidth(v) + margin; });
    QImage sheet(static_cast<int>(std::ceil(width)), static_cast<int>(sheetHeight), QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The guide lines and the band between them are placed alike from either edge, so
    // the bottom-up layout reads the same top-down.
    painter.setPen(QPen(QColor::fromRgbF(0.85f, 0.85f, 0.85f), 1));
    painter.drawLine(QPointF(0, margin), QPointF(width, margin));
    painter.drawLine(QPointF(0, sheetHeight - margin), QPointF(width, sheetHeight - margin));
    double x = margin;
    for (const Variant& v : all) {
        if (v.image) {
            const double w = v.image->size().width() * enlargement;
            const double h = v.image->size().height() * enlargement;
            painter.drawImage(QRectF(x, margin + (band - h) / 2, w, h), v.image->pixels);
        }
        x += cellWidth(v) + margin;
    }
    return sheet;
}

std::string label(const Variant& v) {
    if (!v.image) return v.name + "=nil";
    const QSizeF size = v.image->size();
    return v.name + "=" + std::to_string(static_cast<long long>(size.width())) + "x" +
           std::to_string(static_cast<long long>(size.height())) + "pt";
}

}  // namespace

int DiagnosticModes::renderMenuBarIcons(ConsoleOutput& output, const std::string& path,
                                        const std::string& currentDirectory) {
    const std::vector<Variant> all = variants();
    const auto png = PngEncoding::encode(drawSheet(all));
    if (!png) return 0;
    const std::filesystem::path given(path);
    const std::string filePath =
        given.is_absolute() ? path : (std::filesystem::path(currentDirectory) / given).string();
    // Written whole or not at all.
    try {
        platform().files().writeAtomically(filePath, *png);
    } catch (const std::exception& e) {
        output.err("Failed to write menu-bar icons to " + PrintableText::of(path) + ": " + PrintableText::of(e.what()) +
                   "\n");
        return 1;
    }
    std::string summary = "Wrote " + PrintableText::of(path) + " ";
    for (const Variant& v : all) summary += " " + label(v);
    output.out(summary + "\n");
    return 0;
}

}  // namespace kestr
