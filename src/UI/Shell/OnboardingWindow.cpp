#include "UI/Shell/OnboardingWindow.h"

#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Core/ConflictingApps.h"
#include "Core/HotkeyManager.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "Platform/Platform.h"
#include "Platform/Runtime/Task.h"
#include "UI/DisplayArea.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Shell/OnboardingViews.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

QString joinedNames(const std::vector<ConflictingApps::Running>& running) {
    QStringList names;
    for (const auto& r : running) names << QString::fromStdString(r.name);
    return names.join(QStringLiteral(", "));
}

QString keyOf(const ConflictingApps::Running& running) {
    return QString::fromStdString(running.app.bundleIdentifier.value_or(running.name));
}

// The modifiers of the default snaps: "⌃⌥", or "Alt+Super" on a Linux desktop.
QString snapModifiers() {
    return QString::fromStdString(Hotkey::modifierText(CarbonModifier::control | CarbonModifier::option));
}

QString captureShortcutText() {
    if (auto registered = HotkeyManager::shared().captureHotkey())
        return QString::fromStdString(registered->displayString());
    if (auto stored = Preferences::shared().captureHotkey()) return QString::fromStdString(stored->displayString());
    return QString::fromStdString(
        Hotkey{HotkeyManager::defaultCaptureKeyCode, HotkeyManager::automaticModifiers}.displayString());
}

// How the summary says to save: by the capture shortcut, unless its keys never arrive.
QString saveGesture() {
    const HotkeyManager& hotkeys = HotkeyManager::shared();
    if (hotkeys.captureHotkey() && !hotkeys.arrivingCaptureHotkey())
        return QStringLiteral("click kestr's icon and choose “Save Kest”");
    return QStringLiteral("press ") + captureShortcutText();
}

// How the summary says to bring a kest back: by its shortcut, unless the keys kests are
// given never arrive.
QString recallGesture() {
    const Hotkey first{HotkeyManager::automaticKeyCodes[0], HotkeyManager::automaticModifiers};
    if (HotkeyManager::shared().arrives(first)) return QStringLiteral("the kest's shortcut");
    return QStringLiteral("choosing the kest in kestr's menu");
}

// The modifier keys of kestr's shortcuts that another program keeps for itself.
std::vector<std::uint32_t> heldModifiers() {
    std::vector<std::uint32_t> held;
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (HotkeyManager::shared().heldModifiers & modifier) held.push_back(modifier);
    }
    return held;
}

bool conflictStepNeeded() { return !ConflictingApps::running().empty() || !heldModifiers().empty(); }

QString keyName(std::uint32_t modifier) {
    return QString::fromStdString(platform().wording().modifierKey(modifier)) + QStringLiteral(" key");
}

QString heldKeyTitle(std::uint32_t modifier, const std::optional<ModifierHolder>& holder) {
    return (holder ? QString::fromStdString(holder->name) : QStringLiteral("Another program")) +
           QStringLiteral(" keeps the ") + keyName(modifier);
}

std::vector<QString> whereKestrLives() {
    std::vector<QString> lines;
    for (const std::string& line : platform().wording().whereKestrLives())
        lines.push_back(QString::fromStdString(line));
    return lines;
}

}  // namespace

OnboardingWindow::OnboardingWindow() : self_(std::make_shared<OnboardingWindow*>(this)) {}

OnboardingWindow::~OnboardingWindow() {
    *self_ = nullptr;
    if (window_) {
        window_->onClose = nullptr;
        delete window_;
    }
}

OnboardingWindow& OnboardingWindow::shared() { return platform().shared<OnboardingWindow>(); }

void OnboardingWindow::build() {
    window_ = new KeyClosableWindow;
    window_->setWindowTitle(QStringLiteral("Welcome to kestr"));
    window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    window_->setFixedSize(560, 460);
    // Closing in any way, the last button included, ends onboarding.
    window_->onClose = [] { Preferences::shared().defaults.set(completedKey, PlistValue(true)); };

    auto* root = new QWidget;
    auto* column = new QVBoxLayout(root);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    body_ = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(40, 24, 40, 16);
    column->addWidget(body_, 1);
    auto* footer = new QWidget;
    footer->setFixedHeight(64);
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(24, 0, 24, 0);
    backButton_ = new QPushButton(QStringLiteral("Back"));
    primaryButton_ = new QPushButton(QStringLiteral("Continue"));
    primaryButton_->setMinimumWidth(100);
    primaryButton_->setDefault(true);
    primaryButton_->setAutoDefault(true);
    connect(backButton_, &QPushButton::clicked, this, [this] { backTapped(); });
    connect(primaryButton_, &QPushButton::clicked, this, [this] { primaryTapped(); });
    auto* dotsBox = new QWidget;
    dots_ = new QHBoxLayout(dotsBox);
    dots_->setContentsMargins(0, 0, 0, 0);
    dots_->setSpacing(7);
    footerLayout->addWidget(backButton_);
    footerLayout->addStretch(1);
    footerLayout->addWidget(dotsBox);
    footerLayout->addStretch(1);
    footerLayout->addWidget(primaryButton_);
    column->addWidget(footer);
    window_->setCentralWidget(root);
    // Return presses the primary button from anywhere in the window.
    window_->installEventFilter(this);
}

bool OnboardingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            primaryButton_->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void OnboardingWindow::show() {
    if (!window_) build();
    steps_ = {Step::welcome};
    if (PermissionManager::isAskedFor()) steps_.push_back(Step::accessibility);
    if (conflictStepNeeded()) steps_.push_back(Step::conflict);
    steps_.push_back(Step::done);
    index_ = 0;
    if (!didSubscribe_) {
        didSubscribe_ = true;
        std::weak_ptr<OnboardingWindow*> weak = self_;
        PermissionManager::shared().observers.push_back([weak](bool trusted) {
            auto self = weak.lock();
            if (!self || !*self) return;
            OnboardingWindow* me = *self;
            if (me->index_ < static_cast<int>(me->steps_.size()) && me->steps_[me->index_] == Step::accessibility) {
                me->updateAccessChip(trusted);
            }
        });
    }
    goTo(0);
    if (const auto area = visibleAreaAt(std::nullopt)) centerWithin(*window_, *area);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void OnboardingWindow::goTo(int i) {
    if (i < 0 || i >= static_cast<int>(steps_.size())) return;
    index_ = i;
    if (currentStepView_) {
        currentStepView_->hide();
        currentStepView_->deleteLater();
        accessChip_ = nullptr;
        accessChipBG_ = nullptr;
        grantButton_ = nullptr;
    }
    switch (steps_[static_cast<std::size_t>(i)]) {
        case Step::welcome:
            currentStepView_ = welcomeView();
            break;
        case Step::accessibility:
            currentStepView_ = accessibilityView();
            break;
        case Step::conflict:
            currentStepView_ = conflictView();
            break;
        case Step::done:
            currentStepView_ = doneView();
            break;
    }
    static_cast<QVBoxLayout*>(body_->layout())->addWidget(currentStepView_, 0, Qt::AlignVCenter);
    currentStepView_->show();
    backButton_->setVisible(i != 0);
    const bool last = i == static_cast<int>(steps_.size()) - 1;
    primaryButton_->setText(last ? QStringLiteral("Open kestr") : QStringLiteral("Continue"));
    rebuildDots();
}

void OnboardingWindow::rebuildDots() {
    while (QLayoutItem* item = dots_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (int i = 0; i < static_cast<int>(steps_.size()); ++i) {
        QWidget* dot = OnboardingViews::dot(i == index_ ? SystemStyle::controlAccent().resolved()
                                                        : SystemStyle::tertiaryLabel().resolved());
        dots_->addWidget(dot);
        dot->show();
    }
}

int OnboardingWindow::dotCount() const { return dots_ ? dots_->count() : 0; }

void OnboardingWindow::backTapped() { goTo(index_ - 1); }

void OnboardingWindow::primaryTapped() {
    if (index_ == static_cast<int>(steps_.size()) - 1) {
        window_->close();
        if (onOpenKestr) onOpenKestr();
        return;
    }
    goTo(index_ + 1);
}

void OnboardingWindow::grantTapped() {
    platform().accessibility().isProcessTrustedWithOptions(true);
    PermissionManager::shared().refresh();
    PermissionManager::shared().beginFastWatch(30);
}

void OnboardingWindow::openSettingsTapped() {
    PermissionManager::shared().openAccessibilitySettings();
    PermissionManager::shared().beginFastWatch(30);
}

void OnboardingWindow::updateAccessChip(bool trusted) {
    if (!accessChip_) return;
    OnboardingViews::setPill(accessChip_, accessChipBG_, trusted);
    if (grantButton_) {
        grantButton_->setText(trusted ? QStringLiteral("Granted") : QStringLiteral("Grant Access"));
        grantButton_->setEnabled(!trusted);
    }
}

void OnboardingWindow::quitConflictTapped(const QString& key) {
    const auto running = ConflictingApps::running();
    auto it = std::find_if(running.begin(), running.end(), [&](const auto& r) { return keyOf(r) == key; });
    if (key.isEmpty() || it == running.end()) return;
    ConflictingApps::quit(*it);
    // Look again once the application had a moment to go.
    spawn([](std::weak_ptr<OnboardingWindow*> weak) -> Task<void> {
        try {
            co_await sleepFor(0.6);
        } catch (const CancellationError&) {}
        auto self = weak.lock();
        if (!self || !*self) co_return;
        OnboardingWindow* me = *self;
        if (!me->window_ || !me->window_->isVisible() || me->steps_[me->index_] != Step::conflict) co_return;
        if (!conflictStepNeeded()) {
            std::erase(me->steps_, Step::conflict);
            me->goTo(std::min(static_cast<int>(me->steps_.size()) - 1, me->index_));
        } else {
            me->goTo(me->index_);
        }
    }(self_));
}

QWidget* OnboardingWindow::welcomeView() {
    return OnboardingViews::stack({
        OnboardingViews::hint(platform().capabilities().notchedDisplays),
        OnboardingViews::title(QStringLiteral("Welcome to kestr")),
        OnboardingViews::body(
            QStringLiteral("Save your window arrangements as “kests” and bring them back with a single keystroke.")),
        OnboardingViews::hintCard(whereKestrLives()),
    });
}

QWidget* OnboardingWindow::accessibilityView() {
    auto [pill, chip] = OnboardingViews::statusPill();
    accessChip_ = chip;
    accessChipBG_ = pill;
    grantButton_ = new QPushButton(QStringLiteral("Grant Access"));
    grantButton_->setAutoDefault(false);
    connect(grantButton_, &QPushButton::clicked, this, [this] { grantTapped(); });
    QPushButton* settings = OnboardingViews::link(QStringLiteral("Open Accessibility Settings…"));
    connect(settings, &QPushButton::clicked, this, [this] { openSettingsTapped(); });
    QWidget* view = OnboardingViews::stack({
        OnboardingViews::badge("hand.raised.fill", SystemStyle::controlAccent().resolved()),
        OnboardingViews::title(QStringLiteral("Allow kestr to manage windows")),
        OnboardingViews::body(QStringLiteral("kestr needs Accessibility access to move and resize your windows. "
                                             "Everything stays on your Mac — nothing is uploaded.")),
        pill,
        grantButton_,
        settings,
        OnboardingViews::note(QStringLiteral("In System Settings ▸ Privacy & Security ▸ Accessibility, switch kestr "
                                             "on. This window updates the moment you do.")),
    });
    updateAccessChip(PermissionManager::shared().isTrusted);
    return view;
}

QWidget* OnboardingWindow::conflictView() {
    const auto running = ConflictingApps::running();
    const auto held = heldModifiers();
    const QString names = joinedNames(running);
    std::vector<QWidget*> pieces = {
        OnboardingViews::badge("exclamationmark.triangle.fill", SystemStyle::systemOrange().resolved())};
    if (running.empty() && !held.empty()) {
        pieces.push_back(
            OnboardingViews::title(heldKeyTitle(held.front(), HotkeyManager::shared().modifierHolders[held.front()])));
    } else {
        pieces.push_back(OnboardingViews::title(running.size() <= 1 ? names + QStringLiteral(" is running")
                                                                    : QStringLiteral("Window managers are running")));
        pieces.push_back(OnboardingViews::body(
            (names.isEmpty() ? QStringLiteral("It") : names) + QStringLiteral(" also uses ") + snapModifiers() +
            QStringLiteral(" keyboard shortcuts. When both run, a snap can land and "
                           "then get undone a moment later — looking like a kestr bug. We "
                           "recommend quitting it.")));
    }
    for (const auto& entry : running) {
        const QString key = keyOf(entry);
        QPushButton* quit = nullptr;
        pieces.push_back(OnboardingViews::conflictRow(QString::fromStdString(entry.name), key, &quit));
        connect(quit, &QPushButton::clicked, this, [this, key] { quitConflictTapped(key); });
    }
    for (const std::uint32_t modifier : held)
        pieces.push_back(
            OnboardingViews::body(QString::fromStdString(HotkeyManager::shared().heldKeyAdvice(modifier))));
    return OnboardingViews::stack(pieces);
}

QWidget* OnboardingWindow::doneView() {
    return OnboardingViews::stack({
        OnboardingViews::badge("checkmark", OnboardingViews::systemGreen()),
        OnboardingViews::title(QStringLiteral("You're all set")),
        OnboardingViews::body(QStringLiteral("Here's the whole idea, in two steps:")),
        OnboardingViews::iconBullets({
            {"square.and.arrow.down", QStringLiteral("Save a kest"),
             QStringLiteral("Open your apps and arrange the windows how you like, then ") + saveGesture() +
                 QStringLiteral(". kestr remembers exactly where everything goes.")},
            {"wand.and.stars", QStringLiteral("Bring it back anytime"),
             QStringLiteral("Even from an empty desktop after a restart, ") + recallGesture() +
                 QStringLiteral(" relaunches your apps and snaps every window into place.")},
        }),
    });
}

}  // namespace kestr
