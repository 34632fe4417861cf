// The first run's small wizard: where kestr lives, the Accessibility permission with live
// feedback, quitting window managers that take the same shortcuts, and the two gestures.
// Closing it in any way ends onboarding for good.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QHBoxLayout;
class QWidget;

namespace kestr {

class KeyClosableWindow;

class OnboardingWindow : public QObject {
public:
    enum class Step { welcome, accessibility, conflict, done };
    static constexpr const char* completedKey = "kestr.didCompleteOnboarding";

    OnboardingWindow();
    ~OnboardingWindow() override;
    static OnboardingWindow& shared();

    // Run by the last step's button, after the window has closed.
    std::function<void()> onOpenKestr;

    void show();
    void backTapped();
    void primaryTapped();
    void grantTapped();
    void openSettingsTapped();
    // The quit button of the application with that key (bundle identifier, else name).
    void quitConflictTapped(const QString& key);

    // What a person sees.
    KeyClosableWindow* window() const { return window_; }
    QPushButton* backButton() const { return backButton_; }
    QPushButton* primaryButton() const { return primaryButton_; }
    const std::vector<Step>& steps() const { return steps_; }
    int index() const { return index_; }
    QWidget* currentStepView() const { return currentStepView_; }
    QLabel* accessChip() const { return accessChip_; }
    QPushButton* grantButton() const { return grantButton_; }
    int dotCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void goTo(int i);
    void rebuildDots();
    void updateAccessChip(bool trusted);
    QWidget* welcomeView();
    QWidget* accessibilityView();
    QWidget* conflictView();
    QWidget* doneView();

    KeyClosableWindow* window_ = nullptr;
    QWidget* body_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* primaryButton_ = nullptr;
    QHBoxLayout* dots_ = nullptr;
    QWidget* currentStepView_ = nullptr;
    QLabel* accessChip_ = nullptr;
    QWidget* accessChipBG_ = nullptr;
    QPushButton* grantButton_ = nullptr;
    std::vector<Step> steps_;
    int index_ = 0;
    bool didSubscribe_ = false;
    std::shared_ptr<OnboardingWindow*> self_;
};

}  // namespace kestr
