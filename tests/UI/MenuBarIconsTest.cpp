#include "UI/MenuBarIcons.h"

#include <gtest/gtest.h>

#include "Support/SimTest.h"

namespace kestr {
namespace {

using Icon = MenuBarIcons::MenuIcon;

class MenuBarIconsTest : public test::SimTest {
protected:
    void TearDown() override {
        MenuBarIcons::resourceFolder = saved_;
        SimTest::TearDown();
    }
    // The colour at a point in points.
    static QColor at(const QImage& image, double x, double y) {
        const double s = image.devicePixelRatio();
        return image.pixelColor(static_cast<int>(x * s), static_cast<int>(y * s));
    }
    static bool near(const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
               std::abs(a.blue() - b.blue()) < 8;
    }

private:
    QString saved_ = MenuBarIcons::resourceFolder;
};

TEST_F(MenuBarIconsTest, TheArtworkIsCompiledInFifteenPointsHighWithItsAspect) {
    for (const Icon icon : {Icon::idle, Icon::saved, Icon::alert, Icon::apply}) {
        const auto image = MenuBarIcons::iconImage(icon, "d");
        ASSERT_TRUE(image) << MenuBarIcons::stateName(icon).toStdString();
        EXPECT_EQ(image->size(), QSizeF(20, 15));
        EXPECT_TRUE(image->isTemplate);
        EXPECT_EQ(image->description, "d");
    }
    for (const char* name : {"menubar-saved-base", "menubar-saved-mark", "menubar-apply-base", "menubar-apply-mark"})
        EXPECT_EQ(MenuBarIcons::glyph(name)->size(), QSizeF(20, 15)) << name;
    const auto ring = MenuBarIcons::glyph("menubar-idle-ring", 4);
    ASSERT_TRUE(ring);
    EXPECT_EQ(ring->size(), QSizeF(15, 15));
    EXPECT_FALSE(ring->isTemplate);
    EXPECT_EQ(ring->pixels.width(), 60) << "drawn at the scale asked";
}

TEST_F(MenuBarIconsTest, CompositesTintTheBaseInTheLabelColourAndTheMarkInItsOwn) {
    const auto light = MenuBarIcons::composite("menubar-idle-ring", "menubar-idle-fill", MenuBarIcons::clippedColor(),
                                               false, "kestr (dragging — limit)", 4);
    ASSERT_TRUE(light);
    EXPECT_FALSE(light->isTemplate);
    EXPECT_EQ(light->description, "kestr (dragging — limit)");
    EXPECT_TRUE(near(at(light->pixels, 7.5, 7.5), MenuBarIcons::clippedColor())) << "the filled centre";
    EXPECT_LT(at(light->pixels, 7.5, 1.1).red(), 40) << "the ring, dark on a light bar";
    const auto dark = MenuBarIcons::composite("menubar-idle-ring", "menubar-idle-fill", MenuBarIcons::pointColor(),
                                              true, "kestr (dragging)", 4);
    EXPECT_GT(at(dark->pixels, 7.5, 1.1).red(), 200) << "the ring, light on a dark bar";
    EXPECT_TRUE(near(at(dark->pixels, 7.5, 7.5), MenuBarIcons::pointColor()));

    // No appearance given: the system's.
    sim->simAppearance().dark = true;
    const auto system = MenuBarIcons::composite("menubar-saved-base", "menubar-saved-mark", MenuBarIcons::heartColor(),
                                                std::nullopt, "kestr (saved)");
    EXPECT_GT(at(system->pixels, 1.2, 7.5).red(), 200);

    const auto active = MenuBarIcons::activeKestImage();
    ASSERT_TRUE(active);
    EXPECT_TRUE(active->isTemplate);
    EXPECT_EQ(active->description, "kestr (kest active)");
}

TEST_F(MenuBarIconsTest, MissingArtworkGivesNothingAndIdleFallsBackToTheGridSymbol) {
    MenuBarIcons::resourceFolder = ":/no-such-bundle";
    EXPECT_FALSE(MenuBarIcons::iconImage(Icon::saved, "x"));
    EXPECT_FALSE(MenuBarIcons::iconImage(Icon::apply, "x"));
    EXPECT_FALSE(MenuBarIcons::glyph("menubar-idle-ring"));
    EXPECT_FALSE(MenuBarIcons::composite("menubar-saved-base", "menubar-saved-mark", Qt::red, false, "x"));
    EXPECT_FALSE(MenuBarIcons::activeKestImage());
    const auto idle = MenuBarIcons::iconImage(Icon::idle, "kestr");
    ASSERT_TRUE(idle) << "the system's grid symbol";
    EXPECT_TRUE(idle->isTemplate);
    EXPECT_EQ(idle->description, "kestr");
}

TEST_F(MenuBarIconsTest, BadgesAreDrawnWhereTheirGeometryPutsThem) {
    const QImage caution = MenuBarIcons::cautionBadge(64, 1);
    EXPECT_EQ(caution.size(), QSize(64, 64));
    EXPECT_TRUE(near(at(caution, 20, 50), QColor(255, 204, 0))) << "yellow left of the mark, near the base";
    EXPECT_LT(at(caution, 32, 30).red(), 60) << "the exclamation bar";
    EXPECT_EQ(at(caution, 4, 4).alpha(), 0) << "clear above the triangle's side";

    const QImage setup = MenuBarIcons::setupBadge(64, 1);
    EXPECT_TRUE(near(at(setup, 16, 32), QColor(0, 122, 255)));
    EXPECT_EQ(at(setup, 32, 40).rgb(), QColor(Qt::white).rgb()) << "the stem of the i";
    EXPECT_EQ(at(setup, 2, 2).alpha(), 0);

    const auto idle = MenuBarIcons::iconImage(Icon::idle, "idle", 4);
    const MenuBarImage badged = MenuBarIcons::badged(*idle, std::nullopt, false, 4);
    EXPECT_EQ(badged.size(), QSizeF(20, 15));
    EXPECT_FALSE(badged.isTemplate);
    EXPECT_EQ(badged.description, "kestr — shortcut conflict (a window manager is running)");
    // A 10.8-point badge centred at 0.6 of the width.
    EXPECT_TRUE(near(at(badged.pixels, 9.5, 10.5), QColor(255, 204, 0)));
}

}  // namespace
}  // namespace kestr
