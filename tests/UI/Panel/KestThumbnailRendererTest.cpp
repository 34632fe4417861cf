#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "UI/PanelTestSupport.h"
#include "UI/Panel/KestCardRenderer.h"
#include "UI/Panel/KestThumbnailRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {
namespace {

using R = KestThumbnailRenderer;

class KestThumbnailRendererTest : public test::PanelTest {};

TEST_F(KestThumbnailRendererTest, BlocksFollowDisplayOrderAndShowTheWholeDisplayUnlessTight) {
    addDisplay(1, Rect(0, 0, 1920, 1080));
    addDisplay(2, Rect(-1440, 0, 1440, 900));
    // The kest lists the right-hand display first; the live display 2 stands left of
    // display 1, an unknown display comes last whatever its place in the kest.
    const Layout k = kest("Two", {
                                     item("a.One", withDisplay(frameOn(1, 100, 50, 800, 600), 1920, 1080)),
                                     item("a.Lost", frameOn(9, 0, 0, 400, 300)),
                                     item("a.Two", frameOn(2, 10, 20, 500, 400)),
                                     item("a.Three", frameOn(2, 600, 20, 300, 200)),
                                 });
    const auto loose = R::blocks(k, false);
    ASSERT_EQ(loose.size(), 3u);
    EXPECT_EQ(loose[0].items.front().appBundleID, "a.Two");
    EXPECT_EQ(loose[0].items.size(), 2u);
    EXPECT_EQ(loose[0].source, Rect(10, 20, 890, 400)) << "no recorded size: the windows' bounding box";
    EXPECT_EQ(loose[1].source, Rect(0, 0, 1920, 1080)) << "the whole recorded display";
    EXPECT_EQ(loose[2].items.front().appBundleID, "a.Lost");
    EXPECT_EQ(R::blocks(k, true)[1].source, Rect(100, 50, 800, 600));

    // A saved origin wins over the live one; equal origins go by UUID string.
    Layout saved = kest("Saved", {item("a.B", withDisplay(frameOn(2, 0, 0, 50, 50), 100, 100, 500)),
                                  item("a.A", withDisplay(frameOn(1, 0, 0, 50, 50), 100, 100, 500))});
    EXPECT_EQ(R::blocks(saved, false)[0].items.front().appBundleID, "a.A");

    // The first item with both sizes decides; a zero size falls back to the union even
    // when a later item has good sizes.
    ScreenFrame noHeight = frameOn(1, 0, 0, 200, 100);
    noHeight.dispW = 3000;
    const Layout zero =
        kest("Zero", {item("a.X", noHeight), item("a.Y", withDisplay(frameOn(1, 300, 0, 100, 100), 0, 1080)),
                      item("a.Z", withDisplay(frameOn(1, 0, 200, 100, 100), 1920, 1080))});
    EXPECT_EQ(R::blocks(zero, false)[0].source, Rect(0, 0, 400, 300));

    // A display whose windows span a point or less gives no block.
    EXPECT_TRUE(R::blocks(kest("Thin", {item("a.T", frameOn(1, 0, 0, 1, 500))}), false).empty());
    EXPECT_TRUE(R::blocks(kest("None", {}), false).empty());
}

TEST_F(KestThumbnailRendererTest, PlacementOrderAndWidths) {
    addDisplay(1, Rect(0, 0, 1920, 1080));
    addDisplay(2, Rect(1920, 0, 1920, 1080));
    const Layout k = kest("Order", {
                                       item("b.Right", withDisplay(frameOn(2, 900, 0, 100, 100), 1920, 1080)),
                                       item("a.Low", withDisplay(frameOn(1, 0, 500, 100, 100), 1920, 1080)),
                                       item("a.High", withDisplay(frameOn(1, 0, 0, 100, 100), 1920, 1080)),
                                       item("a.Left", withDisplay(frameOn(2, 10, 0, 100, 100), 1920, 1080)),
                                   });
    std::vector<std::string> order;
    for (const LayoutItem& i : R::placementOrderedItems(k)) order.push_back(i.appBundleID);
    EXPECT_EQ(order, (std::vector<std::string>{"a.High", "a.Low", "a.Left", "b.Right"}));

    EXPECT_DOUBLE_EQ(R::drawnWidth(k, 31, false), 2 * 31 * 1920.0 / 1080 + 5);
    EXPECT_EQ(R::drawnWidth(k, 0, false), 0);
    EXPECT_EQ(R::drawnWidth(kest("Empty", {}), 31, false), 0);

    const auto blocks = R::blocks(k, false);
    const double natural = 31 * 1920.0 / 1080;
    // The panel keeps natural widths even when they overflow; the gallery scales to fit
    // from the left edge; the preview centres.
    const auto panel = R::plateSlots(blocks, Rect(10, 5, 60, 31), R::Style::panel());
    EXPECT_DOUBLE_EQ(panel[1].x(), 10 + natural + 5);
    EXPECT_DOUBLE_EQ(panel[1].width(), natural);
    const auto gallery = R::plateSlots(blocks, Rect(10, 5, 65, 31), R::Style::gallery());
    EXPECT_DOUBLE_EQ(gallery[0].width(), 30);
    EXPECT_DOUBLE_EQ(gallery[1].x(), 45);
    const auto preview = R::plateSlots(blocks, Rect(0, 0, 400, 31), R::Style::preview());
    EXPECT_DOUBLE_EQ(preview[0].x(), (400 - (2 * natural + 5)) / 2);
}

// A rectangle narrower than the gaps between plates used to give a negative scale and
// mirrored plates drawn outside it; numbers that overflow used to reach the painter.
TEST_F(KestThumbnailRendererTest, NothingIsDrawnWhereItCannotFit) {
    addDisplay(1, Rect(0, 0, 1920, 1080));
    addDisplay(2, Rect(1920, 0, 1920, 1080));
    addDisplay(3, Rect(3840, 0, 1920, 1080));
    const Layout three = kest("Three", {item("a.A", withDisplay(frameOn(1, 0, 0, 960, 1080), 1920, 1080)),
                                        item("a.B", withDisplay(frameOn(2, 0, 0, 960, 1080), 1920, 1080)),
                                        item("a.C", withDisplay(frameOn(3, 0, 0, 960, 1080), 1920, 1080))});
    EXPECT_TRUE(R::plateSlots(R::blocks(three, false), Rect(50, 0, 8, 31), R::Style::gallery()).empty());
    EXPECT_TRUE(R::plateSlots(R::blocks(three, false), Rect(50, 0, 10, 31), R::Style::gallery()).empty());

    QImage image(200, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        R::draw(p, three, Rect(50, 0, 8, 31), R::Style::gallery(), false);
    }
    EXPECT_FALSE(inked(image, image.rect()));

    // Frames whose extent overflows to infinity leave their display out.
    const Layout huge =
        kest("Huge", {item("a.A", frameOn(1, -1.7e308, 0, 10, 10)), item("a.B", frameOn(1, 1.7e308, 0, 10, 10)),
                      item("a.C", withDisplay(frameOn(2, 0, 0, 100, 100), 1920, 1080))});
    const auto blocks = R::blocks(huge, false);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].items.front().appBundleID, "a.C");
    EXPECT_TRUE(std::isfinite(R::drawnWidth(huge, 31, false)));
    // A window far outside its saved display maps to no cell.
    const Rect slot(0, 0, 55, 31);
    EXPECT_FALSE(R::cellRect(item("a.F", frameOn(1, 1e308, 1e308, 1e308, 1e308)), Rect(0, 0, 1920, 1080), slot));
}

TEST_F(KestThumbnailRendererTest, IconsShareOneSizeAndNamesNeedRoom) {
    addDisplay(1, Rect(0, 0, 1000, 1000));
    const Layout k = kest("Icons", {item("a.Big", withDisplay(frameOn(1, 0, 0, 500, 1000), 1000, 1000)),
                                    item("a.Small", withDisplay(frameOn(1, 500, 0, 150, 150), 1000, 1000)),
                                    item("a.Tiny", withDisplay(frameOn(1, 900, 900, 50, 50), 1000, 1000))});
    const auto blocks = R::blocks(k, false);
    const std::vector<Rect> plates = {Rect(0, 0, 100, 100)};
    // The small window's 15 × 15 cell holds a 9-point icon; the tiny one holds none and
    // does not count.
    EXPECT_EQ(R::uniformIconSize(blocks, plates, R::Style::gallery()), 9);
    EXPECT_FALSE(R::uniformIconSize(blocks, plates, R::Style::panel()));
    EXPECT_EQ(R::uniformIconSize(blocks, {Rect(0, 0, 1000, 1000)}, R::Style::preview()), 30);

    const auto named = R::cellContent(Rect(0, 0, 70, 90), R::Style::preview(), std::nullopt);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->icon, Rect(20, 23, 30, 30));
    EXPECT_EQ(named->name, Rect(2, 56, 66, 12));
    const auto narrow = R::cellContent(Rect(0, 0, 63, 90), R::Style::preview(), std::nullopt);
    ASSERT_TRUE(narrow);
    EXPECT_FALSE(narrow->name);
    EXPECT_FALSE(R::cellContent(Rect(0, 0, 14, 40), R::Style::preview(), std::nullopt)) << "interior of 8 points";
    EXPECT_FALSE(R::cellContent(Rect(0, 0, 20, 40), R::Style::gallery(), 16.0)) << "narrower than the uniform size";
}

TEST_F(KestThumbnailRendererTest, DialogIconIsCappedAt440PointsWide) {
    addDisplay(1, Rect(0, 0, 1000, 100));
    std::vector<LayoutItem> items;
    for (int i = 0; i < 4; ++i)
        items.push_back(item("a.App", withDisplay(frameOn(1, i * 250, 0, 250, 100), 1000, 100)));
    // 44 × 10 = 440 points of thumbnail, + 8 = 448: scaled by 440 / 448.
    const QImage wide = R::dialogIcon(kest("Wide", items), 1.0);
    EXPECT_EQ(wide.width(), 440);
    EXPECT_EQ(wide.height(), int(std::ceil(81 * 440.0 / 448)));
    const QImage empty = R::dialogIcon(kest("Empty", {}), 1.0);
    EXPECT_EQ(empty.size(), QSize(8, 52));
    EXPECT_FALSE(inked(empty, empty.rect()));
}

// The card and the dialog icon draw the installed applications' icons in placement
// order; for an application that is not installed the card draws the generic
// application icon and the dialog icon leaves its slot empty.
TEST_F(KestThumbnailRendererTest, IconsOfInstalledApplicationsFillTheirSlots) {
    addDisplay(1, Rect(0, 0, 1600, 900));
    for (const char* id : {"com.example.Left", "com.example.Right"}) {
        SimApplication app;
        app.bundleID = id;
        app.name = std::string(id).substr(12);
        app.path = "/Applications/" + app.name + ".app";
        sim->world().install(app);
    }
    const Layout k = kest("Icons", {item("com.example.Right", withDisplay(frameOn(1, 800, 0, 800, 900), 1600, 900)),
                                    item("com.example.Missing", withDisplay(frameOn(1, 400, 0, 400, 900), 1600, 900)),
                                    item("com.example.Left", withDisplay(frameOn(1, 0, 0, 400, 900), 1600, 900))});
    QImage card(296, 83, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    {
        QPainter p(&card);
        KestCardRenderer::draw(p, k, std::nullopt, Rect(0, 0, 296, 83), Qt::black, false, R::Style::panel());
    }
    // Thumbnail 31 × 16/9 wide from x 16; icons from 12 points after it, 26 apart.
    const int x0 = int(std::ceil(16 + 31 * 16.0 / 9 + 12));
    EXPECT_TRUE(inked(card, QRect(x0 + 4, 49, 12, 12))) << "Left";
    EXPECT_TRUE(inked(card, QRect(x0 + 26 + 4, 49, 12, 12))) << "Missing shows the generic icon";
    EXPECT_TRUE(inked(card, QRect(x0 + 52 + 4, 49, 12, 12))) << "Right";

    const QImage dialog = R::dialogIcon(k, 1.0);
    // Three 18-point icons 4 apart, centred under the thumbnail, from y 53 + 3.
    const double first = (dialog.width() - (3 * 18 + 2 * 4)) / 2.0;
    EXPECT_TRUE(inked(dialog, QRect(int(first) + 4, 60, 10, 10)));
    EXPECT_FALSE(inked(dialog, QRect(int(first + 22) + 2, 57, 14, 16)));
    EXPECT_TRUE(inked(dialog, QRect(int(first + 44) + 4, 60, 10, 10)));
}

// A long name ends in "…" before the badge, with room between them; a short one stays whole.
TEST_F(KestThumbnailRendererTest, ALongNameIsCutBeforeTheBadge) {
    addDisplay(1, Rect(0, 0, 1600, 900));
    const Layout k = kest("Coding with documentation and terminals side by side",
                          {item("com.example.Left", withDisplay(frameOn(1, 0, 0, 800, 900), 1600, 900))});
    const std::string badge = "Ctrl+Shift+Super+1";
    QImage card(264, 83, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    {
        QPainter p(&card);
        KestCardRenderer::draw(p, k, badge, Rect(0, 0, 264, 83), Qt::black, false, R::Style::gallery());
    }
    const double badgeLeft =
        264 - 16 - (QFontMetricsF(SystemStyle::font(11, QFont::Medium)).horizontalAdvance(badge.c_str()) + 12);
    EXPECT_FALSE(inked(card, QRect(int(badgeLeft) - 6, 12, 5, 18))) << "nothing between the name and the badge";

    const auto top = KestCardRenderer::header(k, badge, 264, false);
    ASSERT_TRUE(top.badge);
    EXPECT_LE(top.nameRect.right(), top.badge->left() - KestCardRenderer::nameBadgeGap);
    EXPECT_TRUE(top.name.contains(QString::fromUtf8("Coding")));
    EXPECT_TRUE(top.name.contains(QString::fromUtf8("\u2026")));
    const auto whole = KestCardRenderer::header(kest("Work", {}), badge, 264, true);
    EXPECT_FALSE(whole.name.contains(QString::fromUtf8("\u2026")));
    EXPECT_EQ(whole.nameRect.left(), 28) << "after the active dot";
}

TEST(KestCardRendererIconRow, FitsIconsThenTheOverflowMark) {
    // Three icons need 26 × 3 − 6 = 72 points.
    auto row = KestCardRenderer::iconRow(3, 100, 72, 16);
    EXPECT_EQ(row.shown, 3u);
    EXPECT_FALSE(row.mark);
    row = KestCardRenderer::iconRow(3, 100, 71, 16);
    EXPECT_TRUE(row.mark);
    EXPECT_EQ(row.shown, 2u) << "26 × 2 + 16 = 68 fits";
    EXPECT_EQ(row.markX, 100 + 52 - 6 + 3);
    row = KestCardRenderer::iconRow(3, 100, 30, 16);
    EXPECT_EQ(row.shown, 0u);
    EXPECT_TRUE(row.mark);
    EXPECT_EQ(row.markX, 100);
    row = KestCardRenderer::iconRow(0, 100, 5, 16);
    EXPECT_FALSE(row.mark);
}

}  // namespace
}  // namespace kestr
