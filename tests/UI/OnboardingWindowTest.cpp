#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "Core/PermissionManager.h"
#include "Support/DesktopTest.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Shell/OnboardingWindow.h"

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

}  // namespace
}  // namespace kestr::test
