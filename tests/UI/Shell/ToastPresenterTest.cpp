#include "UI/Shell/ToastPresenter.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTextBoundaryFinder>
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

// Words too wide for the widest panel keep every word: they wrap, and only a name or path
// that would take more than three lines is cut, in its middle (a path keeps its file name);
// what is still too wide takes more lines.
TEST_F(ToastPresenterTest, ThePanelFitsTheTextWithinItsLimitsAndKeepsItsWords) {
    const std::string path = "/home/someone/" + std::string(80, 'f') + "/Desktop/kestr-windows.txt";
    const std::string name =
        "A very long kest name for the big monitor setup at the office that is not short at all, "
        "really";
    const std::string reason = "” wasn't applied: kestr is still applying a kest.";
    const std::string hint = "Can't find kestr? It's in your menu bar — drag other icons aside if the notch hides it.";
    const struct {
        ToastText text;
        std::string starts, ends;
        bool cut;
        bool wraps;
    } cases[] = {
        {"x", "x", "x", false, false},
        {"No window to snap — click a window first", "No window", "first", false, false},
        {ToastText::around("Window list saved to ", path, ""), "Window list saved to /", "/kestr-windows.txt", true,
         true},
        {ToastText::around("Window list saved to ", "/tmp/kh/home2/kestr-windows.txt", ""),
         "Window list saved to /tmp/", "/kestr-windows.txt", false, true},
        {ToastText::around("“", "\u2068" + name + "\u2069", "” wasn't applied: first answer kestr's alert."),
         "“\u2068A very", "really\u2069” wasn't applied: first answer kestr's alert.", false, true},
        {ToastText::around("“", "Cross", reason), "“Cross" + reason, "“Cross" + reason, false, true},
        {ToastText::around("“", std::string(60, 'N') + " end", "” wasn't applied."), "“NN", "N end” wasn't applied.",
         true, true},
        {ToastText::around("“", std::string(60, 'N'), reason + " " + hint), "“NN", reason + " " + hint, true, true},
        {hint, hint, hint, false, true},
    };
    for (const auto& c : cases) {
        const auto [shown, size] = ToastPresenter::fit(c.text);
        // A path's file name is joined (invisibly) against line breaks.
        const std::string said = QString(shown).remove(QChar(0x2060)).toStdString();
        EXPECT_TRUE(said.starts_with(c.starts)) << said;
        EXPECT_TRUE(said.ends_with(c.ends)) << said;
        EXPECT_EQ(shown.contains(QChar(0x2026)), c.cut) << said;
        EXPECT_TRUE(c.cut || said == c.text.text) << said;
        EXPECT_GE(size.width(), 120) << said;
        EXPECT_LE(size.width(), 460) << said;
        EXPECT_EQ(size.height() > 38, c.wraps) << said;
    }
    EXPECT_EQ(ToastPresenter::fit("x").size, QSize(120, 38));
    // A path cut for its toast keeps as much of its folder as the lines hold.
    const ToastText saved = ToastText::around("Window list saved to ", path, "");
    EXPECT_GT(ToastPresenter::fit(saved).text.size(), static_cast<qsizetype>(saved.text.size()) * 4 / 5);
    // Wrapped, a path's file name stays on one line: no line may break inside it.
    for (const std::string& file : {path, std::string("/tmp/kh/home2/kestr-windows.txt")}) {
        const QString shown = ToastPresenter::fit(ToastText::around("Window list saved to ", file, "")).text;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
        breaks.setPosition(shown.lastIndexOf('/') + 1);
        EXPECT_EQ(breaks.toNextBoundary(), shown.size()) << shown.toStdString();
    }
    toasts().show(ToastText::around("Window list saved to ", path, ""), ToastFeel::plain, 1);
    EXPECT_EQ(toasts().label()->text(), ToastPresenter::fit(ToastText::around("Window list saved to ", path, "")).text);
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
