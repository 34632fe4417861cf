#include "UI/DragSnap/SnapZoneOverlayWindow.h"

#include <QImage>
#include <gtest/gtest.h>

namespace kestr {
namespace {

QImage render(SnapZoneOverlayWindow& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(SnapZoneOverlayWindowTest, SlotsAreInsetRoundedAndTheHighlightedOneIsAccented) {
    SnapZoneOverlayWindow w(Rect(1440, 0, 400, 300));
    EXPECT_EQ(w.geometry(), QRect(1440, 0, 400, 300));
    EXPECT_TRUE(w.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_EQ(w.windowOpacity(), 0.0);

    w.redraw({Rect(40, 40, 200, 100), Rect(250, 40, 100, 100), Rect(300, 200, 11, 50)}, 1);
    const QImage image = render(w);
    // Outside the inset rectangle (46, 46, 188, 88) and away from its stroke: clear.
    EXPECT_EQ(qAlpha(image.pixel(41, 41)), 0);
    EXPECT_EQ(qAlpha(image.pixel(300, 220)), 0) << "a zone under 12 points draws nothing";
    // Plain fill: white at 16 %.
    const QColor plain = image.pixelColor(140, 90);
    EXPECT_NEAR(plain.alphaF(), 0.16, 0.01);
    EXPECT_EQ(plain.red(), 255);
    // Highlighted fill: the accent at 28 %, and a wider, stronger edge.
    const QColor lit = image.pixelColor(300, 90);
    EXPECT_NEAR(lit.alphaF(), 0.28, 0.01);
    EXPECT_NEAR(lit.redF(), 0.827, 0.02);
    EXPECT_NEAR(lit.blueF(), 0.667, 0.02);
    EXPECT_GT(image.pixelColor(255, 90).alphaF(), 0.9);

    w.setAlpha(1.0);
    EXPECT_EQ(w.windowOpacity(), 1.0);
}

}  // namespace
}  // namespace kestr
