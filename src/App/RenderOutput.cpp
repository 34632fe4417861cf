#include "App/RenderOutput.h"

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "App/ConsoleOutput.h"
#include "App/PngEncoding.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Snap/SnapStore.h"

namespace kestr {

void RenderOutput::loadStores() {
    try {
        LayoutStore::shared().load();
    } catch (const std::exception&) {}
    try {
        SnapStore::shared().load();
    } catch (const std::exception&) {}
    // Only what each shortcut is: a render takes no keys from the user's desktop.
    HotkeyManager::shared().plan(LayoutStore::shared().layouts, SnapStore::shared().bindings);
}

int RenderOutput::write(ConsoleOutput& output, QWidget& sheet, const std::string& path, const std::string& what,
                        QSize reported) {
    const QSize points = sheet.size();
    const std::string failed = "Failed to write " + what + " render to " + PrintableText::of(path) + ": ";
    // Checked before the image is made: it would take gigabytes, only to be refused.
    const int maxPoints = static_cast<int>(maxPixelSide / scale);
    const int tallest = std::max(points.height(), reported.height());
    const int widest = std::max(points.width(), reported.width());
    if (tallest > maxPoints || widest > maxPoints) {
        const bool tall = tallest > maxPoints;
        output.err(failed + "the image would be too " + (tall ? "tall" : "wide") + " (" +
                   std::to_string(tall ? tallest : widest) + " points; at most " + std::to_string(maxPoints) +
                   " points can be drawn)\n");
        return 1;
    }
    QImage image(int(std::ceil(points.width() * scale)), int(std::ceil(points.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    sheet.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);

    std::string problem;
    const auto png = PngEncoding::encode(image, &problem);
    if (!png) {
        output.err(failed + problem + "\n");
        return 1;
    }
    // Written whole or not at all: a failed write leaves no partial file behind.
    try {
        platform().files().writeAtomically(path, *png);
    } catch (const std::exception& e) {
        output.err(failed + PrintableText::of(e.what()) + "\n");
        return 1;
    }
    output.out("Wrote " + what + " render to " + PrintableText::of(path) + " (" + std::to_string(reported.width()) +
               "x" + std::to_string(reported.height()) + ")\n");
    return 0;
}

}  // namespace kestr
