#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include "PanelTestSupport.h"
#include "UI/Snap/SnapCellView.h"
#include "UI/Snap/SnapZoneRenderer.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr {
namespace {

TEST(SnapZoneRendererTest, PlatesAndZones) {
    // x comes from the unrounded width (40 − 25.6 = 14.4), then each value is rounded.
    EXPECT_EQ(SnapZoneRenderer::plate(Rect(6, 6, 68, 32), 1.6), Rect(14, 6, 51, 32));
    // A very wide screen in a narrow rectangle takes the width and centres vertically.
    EXPECT_EQ(SnapZoneRenderer::plate(Rect(0, 0, 50, 32), 2.5), Rect(0, 6, 50, 20));

    const Rect plate(0, 0, 100, 60);
    EXPECT_EQ(SnapZoneRenderer::zone(SnapAction::leftHalf, plate), Rect(1.5, 1.5, 47, 57));
    EXPECT_EQ(SnapZoneRenderer::zone(SnapAction::maximize, plate), Rect(1.5, 1.5, 97, 57));
    EXPECT_FALSE(SnapZoneRenderer::zone(SnapAction::restore, plate));

    const auto [left, right] = SnapZoneRenderer::displayMovePlates(Rect(0, 0, 105, 32), 1.6);
    EXPECT_EQ(left, Rect(0, 0.375, 50, 31.25));
    EXPECT_EQ(right, Rect(55, 0.375, 50, 31.25));

    EXPECT_EQ(SnapCellView::screenAspect(std::nullopt), 1.6);
    Screen screen;
    screen.frame = Rect(0, 0, 3440, 1440);
    EXPECT_NEAR(SnapCellView::screenAspect(screen), 2.389, 0.001);
    screen.frame = Rect(0, 0, 5120, 1440);
    EXPECT_EQ(SnapCellView::screenAspect(screen), 2.5);
    screen.frame = Rect(0, 0, 1440, 2560);
    EXPECT_EQ(SnapCellView::screenAspect(screen), 1.2);
}

// Every symbol the interface names comes from the theme; an unknown name draws nothing.
TEST(SymbolImagesTest, EveryNamedSymbolLoadsFromTheTheme) {
    for (const char* name : {"eject", "plus.square", "gearshape", "power", "arrow.up.left.and.arrow.down.right",
                             "arrow.down.right.and.arrow.up.left", "arrow.uturn.backward", "plus", "minus",
                             "chevron.up", "chevron.down"}) {
        const QImage image = SymbolImages::image(name, 13, Qt::red);
        ASSERT_FALSE(image.isNull()) << name;
        bool red = false;
        for (int y = 0; y < image.height() && !red; ++y)
            for (int x = 0; x < image.width() && !red; ++x)
                red =
                    qAlpha(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 40;
        EXPECT_TRUE(red) << name << " is tinted";
    }
    EXPECT_TRUE(SymbolImages::image("no.such.symbol", 13, Qt::red).isNull());
}

class SnapCellViewTest : public test::PanelTest {};

// Colours follow the desktop's appearance and accent, except inside a light scope.
TEST_F(SnapCellViewTest, ColoursFollowTheSystemAppearanceUnlessALightScopeIsOpen) {
    const auto& plate = KestThumbnailRenderer::Style::panel().plateFill;
    EXPECT_EQ(plate.resolved(), QColor(Qt::white));
    sim->simAppearance().dark = true;
    sim->simAppearance().accent = {1.0, 0.0, 0.0};
    EXPECT_EQ(plate.resolved(), QColor::fromRgbF(0.173f, 0.173f, 0.18f));
    EXPECT_EQ(SystemStyle::controlAccent().resolved(), QColor(Qt::red));
    {
        const AdaptiveColor::LightScope light;
        EXPECT_EQ(plate.resolved(), QColor(Qt::white));
    }
    EXPECT_TRUE(AdaptiveColor::darkAppearance());

    SnapCellView cell({SnapAction::leftHalf, std::nullopt});
    cell.resize(60, 66);
    cell.setKeyboardSelected(true);
    QImage image(60, 66, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    cell.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRgb corner = image.pixel(4, 62);
    EXPECT_GT(qRed(corner), qBlue(corner)) << "the selection takes the system's accent";
}

TEST_F(SnapCellViewTest, PressAppliesAtOnceAndTheLabelNamesTheShortcut) {
    SnapCellView cell({SnapAction::leftHalf, std::string("⌃⌥←")});
    cell.resize(59, 66);
    std::vector<SnapAction> applied;
    cell.onApply = [&](SnapAction a) { applied.push_back(a); };
    QTest::mousePress(&cell, Qt::LeftButton);
    EXPECT_EQ(applied.size(), 1u) << "on the press, not the release";
    EXPECT_TRUE(cell.accessibilityPerformPress());
    EXPECT_EQ(applied.size(), 2u);
    EXPECT_EQ(cell.accessibilityLabel().toStdString(),
              SnapAction(SnapAction::leftHalf).displayName() + ", shortcut ⌃⌥←");

    SnapCellView plain({SnapAction::center, std::string()});
    EXPECT_EQ(plain.accessibilityLabel().toStdString(), SnapAction(SnapAction::center).displayName());
    EXPECT_TRUE(plain.accessibilityPerformPress()) << "also without a callback";
}

TEST_F(SnapCellViewTest, BadgeOnlyWithAShortcutAndTheSelectionTint) {
    const auto render = [](SnapCellView& cell) {
        cell.resize(60, 66);
        QImage image(60, 66, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        cell.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    SnapCellView withKey({SnapAction::leftHalf, std::string("⌃⌥←")});
    SnapCellView without({SnapAction::leftHalf, std::nullopt});
    EXPECT_TRUE(inked(render(withKey), QRect(25, 48, 10, 6)));
    EXPECT_FALSE(inked(render(without), QRect(0, 42, 60, 18)));

    // Keyboard selection tints the cell with the accent colour (blue), hovering or not.
    withKey.setKeyboardSelected(true);
    const QRgb corner = render(withKey).pixel(4, 62);
    EXPECT_GT(qBlue(corner), qRed(corner));

    // A shortcut named in words keeps its badge inside the cell.
    SnapCellView words({SnapAction::leftHalf, std::string("Ctrl+Alt+Shift+Super+←")});
    const QImage wide = render(words);
    EXPECT_TRUE(inked(wide, QRect(20, 48, 20, 6)));
    EXPECT_FALSE(inked(wide, QRect(0, 42, 2, 18)));
    EXPECT_FALSE(inked(wide, QRect(58, 42, 2, 18)));
}

}  // namespace
}  // namespace kestr
