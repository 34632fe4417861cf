#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "Core/HotkeyManager.h"
#include "Core/PermissionManager.h"
#include "Platform/X11/X11Wording.h"
#include "Support/DesktopTest.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Shell/MenuBarHintView.h"
#include "UI/Shell/OnboardingWindow.h"
#include "UI/SystemStyle.h"

namespace kestr::test {
namespace {

class OnboardingWindowTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        onboarding().onOpenKestr = [this] { ++opened; };
    }
    static OnboardingWindow& onboarding() { return OnboardingWindow::shared(); }
    bool completed() {
        auto v = sim->defaults().standard().object(OnboardingWindow::completedKey);
        return v && v->get<bool>() && *v->get<bool>();
    }
    QString texts() {
        QStringList out;
        for (QLabel* label : onboarding().currentStepView()->findChildren<QLabel*>()) out << label->text();
        return out.join('|');
    }
    int opened = 0;
};

TEST_F(OnboardingWindowTest, ThreeStepsWithoutWindowManagersAndTheLastOpensKestr) {
    onboarding().show();
    using Step = OnboardingWindow::Step;
    EXPECT_EQ(onboarding().steps(), (std::vector<Step>{Step::welcome, Step::accessibility, Step::done}));
    EXPECT_EQ(onboarding().dotCount(), 3);
    // One fixed size, as the window manager is told it: nothing to maximise or resize.
    const QWindow* handle = onboarding().window()->windowHandle();
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->minimumSize(), QSize(560, 460));
    EXPECT_EQ(handle->maximumSize(), QSize(560, 460));
    EXPECT_FALSE(handle->flags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(onboarding().backButton()->isVisibleTo(onboarding().window()));
    EXPECT_TRUE(texts().contains("Welcome to kestr"));
    QTest::keyClick(onboarding().window(), Qt::Key_Return);
    EXPECT_EQ(onboarding().index(), 1) << "Return presses the primary button";
    EXPECT_TRUE(onboarding().backButton()->isVisibleTo(onboarding().window()));
    onboarding().primaryTapped();
    EXPECT_EQ(onboarding().primaryButton()->text(), "Open kestr");
    EXPECT_TRUE(texts().contains("then press ⌃⌥⌘↩. kestr remembers")) << texts().toStdString();
    EXPECT_FALSE(completed());
    onboarding().primaryTapped();
    EXPECT_FALSE(onboarding().window()->isVisible());
    EXPECT_TRUE(completed());
    EXPECT_EQ(opened, 1);
}

TEST_F(OnboardingWindowTest, OnX11TheWelcomeSpeaksOfThePanelAndNoPermissionIsAskedFor) {
    onboarding().show();
    EXPECT_TRUE(
        texts().contains("kestr lives in your menu bar, up at the top ↑ — it has no Dock icon and no main "
                         "window.|Can't find its icon? It may be hidden behind the notch."))
        << texts().toStdString();
    EXPECT_TRUE(onboarding().currentStepView()->findChild<MenuBarHintView*>()->notched);
    onboarding().window()->close();

    X11Wording words;
    sim->otherWording = &words;
    sim->simCapabilities.trustCanChange = false;
    sim->simCapabilities.notchedDisplays = false;
    onboarding().show();
    EXPECT_FALSE(onboarding().currentStepView()->findChild<MenuBarHintView*>()->notched);
    using Step = OnboardingWindow::Step;
    EXPECT_EQ(onboarding().steps(), (std::vector<Step>{Step::welcome, Step::done}));
    EXPECT_TRUE(
        texts().endsWith("|kestr lives in your panel's tray — or, where the panel has none, in a small button "
                         "at the top right of the screen. It has no main window."))
        << texts().toStdString();
    EXPECT_FALSE(texts().contains("notch"));
    onboarding().window()->close();
    sim->otherWording = nullptr;
}

TEST_F(OnboardingWindowTest, ThePermissionPillFollowsTheTrustLive) {
    sim->world().trusted = false;
    PermissionManager::shared().refresh();
    onboarding().show();
    onboarding().primaryTapped();
    ASSERT_NE(onboarding().accessChip(), nullptr);
    EXPECT_EQ(onboarding().accessChip()->text(), "◌  Waiting for permission…");
    EXPECT_TRUE(onboarding().grantButton()->isEnabled());
    onboarding().grantButton()->click();
    EXPECT_EQ(sim->simAccessibility().promptsShown(), 1);

    sim->world().trusted = true;
    sim->virtualTime().advance(0.5);  // the fast watch notices
    EXPECT_EQ(onboarding().accessChip()->text(), "✓  Granted");
    EXPECT_EQ(onboarding().grantButton()->text(), "Granted");
    EXPECT_FALSE(onboarding().grantButton()->isEnabled());

    // Closing on any step ends onboarding without opening the panel.
    onboarding().window()->close();
    EXPECT_TRUE(completed());
    EXPECT_EQ(opened, 0);
}

TEST_F(OnboardingWindowTest, AQuitWindowManagerGivesItsStepToTheSummary) {
    addApp("com.knollsoft.Rectangle", "Rectangle", {});
    onboarding().show();
    ASSERT_EQ(onboarding().steps().size(), 4u);
    onboarding().primaryTapped();
    onboarding().primaryTapped();
    EXPECT_TRUE(texts().contains("Rectangle is running"));
    onboarding().quitConflictTapped("com.knollsoft.Rectangle");
    EXPECT_EQ(sim->simWorkspace().terminateRequests().size(), 1u);
    sim->virtualTime().advance(0.6);
    EXPECT_EQ(onboarding().steps().size(), 3u);
    EXPECT_EQ(onboarding().dotCount(), 3);
    EXPECT_TRUE(texts().contains("You're all set"));
}

// A window manager that keeps the Super key swallows every shortcut with it: the step
// about window managers names it and what frees the key, and the summary offers no
// shortcut that cannot arrive.
TEST_F(OnboardingWindowTest, AWindowManagerHoldingTheSuperKeyIsNamedWithHowToFreeIt) {
    X11Wording words;
    sim->otherWording = &words;
    sim->simCapabilities.trustCanChange = false;
    sim->simHotKeys().heldModifiers = CarbonModifier::control;
    sim->simHotKeys().holder = ModifierHolder{"IceWM", "put Win95Keys=0 in ~/.icewm/preferences"};
    HotkeyManager::shared().sync({}, {});
    onboarding().show();
    using Step = OnboardingWindow::Step;
    ASSERT_EQ(onboarding().steps(), (std::vector<Step>{Step::welcome, Step::conflict, Step::done}));
    onboarding().primaryTapped();
    EXPECT_TRUE(
        texts().contains("IceWM keeps the Super key|IceWM keeps the Super key for itself, so kestr's "
                         "shortcuts with it never arrive. To free it, put Win95Keys=0 in "
                         "~/.icewm/preferences, then start kestr again."))
        << texts().toStdString();
    onboarding().primaryTapped();
    EXPECT_TRUE(texts().contains("then click kestr's icon and choose “Save Kest”.")) << texts().toStdString();
    EXPECT_TRUE(texts().contains("choosing the kest in kestr's menu relaunches your apps")) << texts().toStdString();
    EXPECT_FALSE(texts().contains("Ctrl+Alt+Super"));
    EXPECT_FALSE(texts().contains("shortcut"));
    onboarding().window()->close();

    // Where the desktop cannot tell who holds it, the key is named all the same.
    sim->simHotKeys().holder.reset();
    HotkeyManager::shared().sync({}, {});
    onboarding().show();
    onboarding().primaryTapped();
    EXPECT_TRUE(
        texts().contains("Another program keeps the Super key|Another program, often the window manager, "
                         "keeps the Super key for itself"))
        << texts().toStdString();
    onboarding().window()->close();
    sim->otherWording = nullptr;
}

TEST(MenuBarHintViewTest, KestrsIconSitsWhiteInItsPillNearTheStripsRightEnd) {
    MenuBarHintView view;
    QImage image(360, 86, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // The pill around (335.5, 14) is the accent colour; the icon inside it is white.
    const QColor pill = image.pixelColor(320, 14);
    EXPECT_EQ(pill.rgb(), SystemStyle::controlAccent().resolved().rgb());
    ASSERT_TRUE(MenuBarHintView::whitePill());
    bool white = false;
    for (int x = 326; x < 346 && !white; ++x)
        for (int y = 9; y < 20 && !white; ++y) white = image.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
    // The notch hangs in the middle of the top edge; the strip's far left is plain.
    EXPECT_GT(image.pixelColor(180, 4).alpha(), 100);
    EXPECT_LT(image.pixelColor(10, 60).alpha(), 10) << "nothing below the strip but the arrow";
}

}  // namespace
}  // namespace kestr::test
