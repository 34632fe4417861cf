#include <gtest/gtest.h>

#include <QTest>

#include "UI/QtWarningCatcher.h"
#include "Support/SimTest.h"
#include "UI/Shell/TrayStatusItem.h"
#include "UI/Shell/WindowStatusItem.h"

namespace kestr {
namespace {

class StatusItemTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim->world().displays.push_back(SimDisplay{1, std::nullopt, Rect(0, 0, 1440, 900), {}});
        sim->world().displays.push_back(SimDisplay{2, std::nullopt, Rect(1440, 0, 1920, 1080), {}});
    }
    static MenuBarImage solid(QColor colour, double width, bool isTemplate = false) {
        QImage pixels(static_cast<int>(width * 2), 30, QImage::Format_ARGB32_Premultiplied);
        pixels.fill(colour);
        pixels.setDevicePixelRatio(2);
        return {pixels, isTemplate, "test"};
    }
    // The colour at a point of the button, in points.
    static QColor at(const StatusItem& item, QImage picture, double x, double y) {
        (void)item;
        return picture.pixelColor(static_cast<int>(x * picture.devicePixelRatio()),
                                  static_cast<int>(y * picture.devicePixelRatio()));
    }
};

TEST_F(StatusItemTest, TheWindowButtonSitsAtTheRightEndOfTheMainDisplayAndReportsClicks) {
    WindowStatusItem item;
    std::vector<StatusItem::Click> clicks;
    item.onClick = [&](const StatusItem::Click& click) { clicks.push_back(click); };
    EXPECT_FALSE(item.buttonFrame());
    item.setImage(solid(Qt::red, 30), 0);
    ASSERT_TRUE(item.buttonFrame());
    EXPECT_EQ(*item.buttonFrame(), QRect(1440 - 36, 0, 36, 22));

    QTest::mouseClick(&item.window(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&item.window(), Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseClick(&item.window(), Qt::LeftButton, Qt::ControlModifier, QPoint(10, 10));
    EXPECT_EQ(clicks, (std::vector<StatusItem::Click>{{false, false}, {true, false}, {false, true}}));

    // A title makes the button wider; it stays flush with the display's right edge.
    item.setTitle("kestr");
    EXPECT_GT(item.buttonFrame()->width(), 36);
    EXPECT_EQ(item.buttonFrame()->right(), 1440 - 1);
}

TEST_F(StatusItemTest, ImagesCrossFadeOnTheMainActorClockAndTemplatesFollowTheAppearance) {
    WindowStatusItem item;
    item.setImage(solid(Qt::red, 20), 0);
    EXPECT_EQ(at(item, item.shownPicture(), 13, 11), QColor(Qt::red));
    item.setImage(solid(Qt::blue, 20), 0.25);
    sim->virtualTime().advance(0.125);
    const QColor halfway = at(item, item.shownPicture(), 13, 11);
    EXPECT_GT(halfway.red(), 60);
    EXPECT_GT(halfway.blue(), 60);
    sim->virtualTime().advance(0.125);
    EXPECT_EQ(at(item, item.shownPicture(), 13, 11), QColor(Qt::blue));

    // A template is drawn in the label colour: black on a light bar, white on a dark one.
    item.setImage(solid(Qt::black, 20, true), 0);
    EXPECT_LT(at(item, item.shownPicture(), 13, 11).red(), 30);
    sim->simAppearance().dark = true;
    item.setImage(solid(Qt::black, 20, true), 0);
    EXPECT_GT(at(item, item.shownPicture(), 13, 11).blue(), 200);
}

TEST_F(StatusItemTest, TheBadgeIsDrawnAtItsFrameAndGoesWhenHidden) {
    WindowStatusItem item;
    item.setImage(solid(Qt::transparent, 20), 0);
    QImage badge(8, 8, QImage::Format_ARGB32_Premultiplied);
    badge.fill(Qt::yellow);
    item.setBadge(badge, QRectF(14, 2, 8, 8));
    EXPECT_EQ(at(item, item.shownPicture(), 18, 6), QColor(Qt::yellow));
    item.setBadge(std::nullopt);
    EXPECT_EQ(at(item, item.shownPicture(), 18, 6).alpha(), 0);

    // A badge standing out past the 26-point button is drawn whole, not cut at its edge.
    item.setBadge(badge, QRectF(19, 2, 8, 8));
    EXPECT_EQ(item.window().width(), 27);
    EXPECT_EQ(at(item, item.shownPicture(), 26.5, 6), QColor(Qt::yellow));
}

// The tray item is shown with its first picture, never without one; it keeps one menu
// (what a D-Bus tray reads) whose entries are made again, submenus included, and a
// right click or a tray host asking for the menu opens it without waiting for it.
TEST_F(StatusItemTest, TheTrayShowsItsPictureAndKeepsOneMenuMadeAgainOnChanges) {
    test::QtWarningCatcher warnings;
    TrayStatusItem item(TrayPresence::Kind::xembed);
    int made = 0;
    int ran = 0;
    item.keepMenu(
        [&] {
            auto menu = std::make_unique<QMenu>();
            QObject::connect(menu->addAction(QString("Row %1").arg(++made)), &QAction::triggered, menu.get(),
                             [&] { ++ran; });
            menu->addMenu(new QMenu("Snap", menu.get()))->menu()->addAction("Left Half");
            return menu;
        },
        {});
    EXPECT_FALSE(item.tray()->isVisible());
    item.setImage(solid(Qt::red, 20), 0);
    EXPECT_TRUE(item.tray()->isVisible());
    EXPECT_EQ(warnings.containing("No Icon set"), "");
    EXPECT_EQ(item.tray()->contextMenu(), &item.menu());
    // The tray gets the image without the button's room around it, in a square.
    const QImage trayPicture = TrayStatusItem::trayPicture(item.shownPicture());
    EXPECT_EQ(trayPicture.size(), QSize(40, 40));
    // Filled edge to edge, as large as it was drawn: a tray scales it down to its slot.
    EXPECT_EQ(trayPicture.devicePixelRatio(), 1.0);
    EXPECT_EQ(trayPicture.pixelColor(1, 6), QColor(Qt::red));  // 20 × 15 points, in the middle
    EXPECT_EQ(trayPicture.pixelColor(38, 33), QColor(Qt::red));
    EXPECT_EQ(trayPicture.pixelColor(38, 36), QColor(Qt::transparent));

    item.refreshMenu();
    ASSERT_EQ(item.menu().actions().size(), 2);
    EXPECT_EQ(item.menu().actions()[0]->text(), QString("Row %1").arg(made));
    QMenu* snap = item.menu().actions()[1]->menu();
    ASSERT_NE(snap, nullptr);
    EXPECT_EQ(snap->actions().at(0)->text(), "Left Half");
    item.menu().actions()[0]->trigger();
    EXPECT_EQ(ran, 1) << "the entry's command outlived the making";

    int clicks = 0;
    item.onClick = [&](const StatusItem::Click&) { ++clicks; };
    // kestr opens a copy of its own, made afresh with the keys as kestr writes them (the
    // kept menu's texts may be written for a D-Bus tray).
    Q_EMIT item.tray()->activated(QSystemTrayIcon::Context);
    ASSERT_NE(item.ownMenu(), nullptr);
    EXPECT_TRUE(item.ownMenu()->isVisible()) << "opened, and the call returned";
    EXPECT_EQ(item.ownMenu()->actions().at(0)->text(), QString("Row %1").arg(made));
    EXPECT_FALSE(item.menu().isVisible());
    EXPECT_EQ(clicks, 0);
    item.ownMenu()->hide();
}

// A tray asks for the kept menu at every opening: it is made again only when what it shows
// changed since it was last made, and whenever the program says its state changed.
TEST_F(StatusItemTest, AnOpeningMakesTheKeptMenuAgainOnlyWhenWhatItShowsChanged) {
    TrayStatusItem item(TrayPresence::Kind::xembed);
    int made = 0;
    std::uint64_t shows = 1;
    item.keepMenu(
        [&] {
            ++made;
            auto menu = std::make_unique<QMenu>();
            menu->addAction(QString("Shows %1").arg(shows));
            return menu;
        },
        [&] { return shows; });
    const auto open = [&](int times) {
        for (int i = 0; i < times; ++i) Q_EMIT item.menu().aboutToShow();
    };
    open(3);
    EXPECT_EQ(made, 1) << "nothing it shows changed";
    shows = 2;
    open(3);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(item.menu().actions().at(0)->text(), "Shows 2");
    item.refreshMenu();
    EXPECT_EQ(made, 3) << "the program's word that its state changed";
}

}  // namespace
}  // namespace kestr
