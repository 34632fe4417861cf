#include "UI/Shell/ToastPresenter.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "Support/SimTest.h"

namespace kestr {
namespace {

class ToastPresenterTest : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        // The main display with a 25-point menu bar, and a second one to its right.
        sim->world().displays.push_back(SimDisplay{1, std::nullopt, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0}});
        sim->world().displays.push_back(SimDisplay{2, std::nullopt, Rect(1440, 0, 1920, 1080), Insets{30, 0, 0, 0}});
    }
    ToastPresenter& toasts() { return ToastPresenter::shared(); }
    void advance(double seconds) { sim->virtualTime().advance(seconds); }
};

TEST_F(ToastPresenterTest, ThePanelFitsTheTextWithinItsLimits) {
    EXPECT_EQ(ToastPresenter::layout("x"), QSize(120, 38));
    EXPECT_EQ(ToastPresenter::layout(QString(200, 'W')), QSize(460, 38));
    // Too long for the widest panel: cut in the middle, so both what happened and the
    // file name at the end of a path show.
    const std::string path = "/home/someone/" + std::string(80, 'f') + "/Desktop/kestr-windows.txt";
    ToastPresenter::shared().show("Window list saved to " + path, ToastFeel::plain, 1);
    const QString shown = ToastPresenter::shared().label()->text();
    EXPECT_TRUE(shown.startsWith("Window list saved to ")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/kestr-windows.txt")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    const QString middle = "No window to snap — click a window first";
    const QSize size = ToastPresenter::layout(middle);
    EXPECT_GT(size.width(), 120);
    EXPECT_LT(size.width(), 460);
    EXPECT_EQ(size.height(), 38);
}

TEST_F(ToastPresenterTest, AToastFadesInUnderThePointerStaysItsTimeAndFadesOut) {
    sim->world().pointer = Point{2000, 500};
    toasts().show("Nothing to restore yet — snap a window first", ToastFeel::alert, 1.9);
    QWidget* panel = toasts().panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(toasts().label()->text(), "Nothing to restore yet — snap a window first");
    EXPECT_EQ(sim->simApplication().beeps, 1);
    // Centred on the second display, 12 points under its menu bar.
    EXPECT_EQ(panel->x() + panel->width() / 2, 1440 + 960);
    EXPECT_EQ(panel->y(), 30 + 12);
    EXPECT_TRUE(panel->isVisible());
    advance(0.07);
    EXPECT_NEAR(toasts().opacity(), 0.5, 0.1);
    advance(0.07);
    EXPECT_EQ(toasts().opacity(), 1.0);

    // A second toast replaces the text and restarts the time; the plain feel is silent.
    advance(1.0);
    toasts().show("x", ToastFeel::plain, 1.9);
    EXPECT_EQ(sim->simApplication().beeps, 1);
    EXPECT_EQ(panel->width(), 120);
    advance(1.8);
    EXPECT_EQ(toasts().opacity(), 1.0) << "1.9 s from the second toast, not the first";
    advance(0.1 + ToastPresenter::fadeOutSeconds);
    EXPECT_EQ(toasts().opacity(), 0.0);
    EXPECT_FALSE(panel->isVisible());

    // Off every screen: the main one.
    sim->world().pointer = Point{-5000, -5000};
    toasts().show("y", ToastFeel::plain, 1);
    EXPECT_EQ(panel->x() + panel->width() / 2, 720);
    EXPECT_EQ(panel->y(), 25 + 12);
}

TEST_F(ToastPresenterTest, AToastShownDuringTheFadeOutStaysOnScreen) {
    toasts().show("first", ToastFeel::plain, 1);
    advance(1.1);  // fading out
    ASSERT_GT(toasts().opacity(), 0.0);
    ASSERT_LT(toasts().opacity(), 1.0);
    toasts().show("second", ToastFeel::plain, 3);
    advance(ToastPresenter::fadeOutSeconds + 0.5);
    EXPECT_TRUE(toasts().panel()->isVisible());
    EXPECT_EQ(toasts().opacity(), 1.0);
    EXPECT_EQ(toasts().label()->text(), "second");
}

}  // namespace
}  // namespace kestr
