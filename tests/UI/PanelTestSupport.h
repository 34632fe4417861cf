// Kests and pixel probes for the panel's tests.
#pragma once

#include <QColor>
#include <QImage>
#include <string>

#include "Core/Layout.h"
#include "Support/DesktopTest.h"

namespace kestr::test {

class PanelTest : public DesktopTest {
protected:
    static LayoutItem item(const std::string& bundleID, ScreenFrame frame) {
        return ItemBuilder(bundleID, bundleID.substr(bundleID.rfind('.') + 1)).target(std::move(frame));
    }

    static ScreenFrame withDisplay(ScreenFrame f, double w, double h, std::optional<double> x = std::nullopt) {
        f.dispW = w;
        f.dispH = h;
        f.dispX = x;
        return f;
    }

    static Layout kest(const std::string& name, std::vector<LayoutItem> items) {
        Layout k;
        k.id = Uuid::random();
        k.name = name;
        k.items = std::move(items);
        return k;
    }

    // Whether any pixel of the image within the rectangle is not fully transparent.
    static bool inked(const QImage& image, QRect area) {
        area = area.intersected(image.rect());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0) return true;
        return false;
    }
};

}  // namespace kestr::test
