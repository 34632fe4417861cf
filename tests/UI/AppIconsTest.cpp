#include "UI/AppIcons.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include "Support/SimTest.h"

namespace kestr {
namespace {

class AppIconsTest : public test::SimTest {
protected:
    void install(const std::string& id, const std::string& name, std::optional<std::string> iconFile = {}) {
        SimApplication app;
        app.bundleID = id;
        app.name = name;
        app.path = "/Applications/" + name + ".app";
        app.iconFile = std::move(iconFile);
        sim->world().install(app);
    }
    static QColor centre(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 5); }
};

TEST_F(AppIconsTest, EachApplicationHasItsOwnIconAndAMissingOneIsRememberedAsMissing) {
    install("com.example.a", "Alpha");
    install("com.example.b", "Beta");
    const auto a = AppIcons::icon("com.example.a");
    const auto b = AppIcons::icon("com.example.b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->size(), QSize(AppIcons::pixels, AppIcons::pixels));
    EXPECT_NE(centre(*a), centre(*b));
    EXPECT_FALSE(AppIcons::icon("com.example.none"));
    // Installed later: the answer of the first look-up stands for the process's life.
    install("com.example.none", "None");
    EXPECT_FALSE(AppIcons::icon("com.example.none"));
}

TEST_F(AppIconsTest, AScenarioIconFileIsDecodedAndUndecodableBytesGiveNoIcon) {
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    const std::string file = sim->files().homeDirectory() + "/red.png";
    sim->files().writeAtomically(file, png.toStdString());
    install("com.example.red", "Red", file);
    const std::string junk = sim->files().homeDirectory() + "/junk.png";
    sim->files().writeAtomically(junk, "not an image");
    install("com.example.junk", "Junk", junk);

    const auto icon = AppIcons::icon("com.example.red");
    ASSERT_TRUE(icon);
    EXPECT_EQ(centre(*icon), QColor(Qt::red));
    EXPECT_FALSE(AppIcons::icon("com.example.junk"));
}

TEST_F(AppIconsTest, TheStripSetsIconsSideBySideLeavingOutThoseWithout) {
    install("com.example.a", "Alpha");
    install("com.example.b", "Beta");
    EXPECT_TRUE(AppIcons::strip({"com.example.none"}).isNull());
    const QImage strip = AppIcons::strip({"com.example.a", "com.example.none", "com.example.b"}, 1);
    EXPECT_EQ(strip.size(), QSize(2 * 44 + 10, 44));
    // The gap between the icons stays clear.
    EXPECT_EQ(strip.pixelColor(49, 22).alpha(), 0);
    EXPECT_GT(strip.pixelColor(22, 22).alpha(), 0);
    EXPECT_GT(strip.pixelColor(76, 22).alpha(), 0);
}

}  // namespace
}  // namespace kestr
