// The manager window's settings page: the capture shortcut, drag snap and its modifier,
// the version and the update check.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/OptionTiling.h"
#include "Core/Preferences.h"
#include "DragSnap/WindowDragTracker.h"
#include "Platform/EventMonitors.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/AppVersionText.h"
#include "UI/Manager/ElidedLabel.h"
#include "UI/Manager/FlippedView.h"
#include "UI/Manager/KestListView.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/Manager/SidebarFooterButton.h"
#include "UI/Manager/SwitchButton.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr const char* enableDragSnapKey = "kestr.enableDragSnap";

// The choices, named by the desktop ("⌘ Command" here, "Ctrl" on a Linux desktop).
struct ModifierChoice {
    std::uint64_t flags;
};
constexpr ModifierChoice dragModifiers[] = {
    {ModifierFlag::command},
    {ModifierFlag::option},
    {ModifierFlag::control},
    {ModifierFlag::shift},
};

QLabel* note(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(SystemStyle::font(12));
    label->setWordWrap(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::secondaryLabel().resolved());
    label->setPalette(pal);
    return label;
}

QLabel* header(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(SystemStyle::font(13, QFont::DemiBold));
    return label;
}

bool dragSnapEnabled() { return Preferences::shared().boolValue(enableDragSnapKey); }

}  // namespace

QWidget* LayoutEditorWindow::buildCaptureDetail() {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new FlippedView;

    auto* title = new QLabel(QStringLiteral("Settings"));
    title->setFont(SystemStyle::font(22, QFont::Bold));

    captureRecorder_ = new ShortcutRecorderView;
    captureRecorder_->setPlain(true);
    captureRecorder_->setFixedSize(150, 28);
    captureRecorder_->onChange = [this](std::optional<Hotkey> hotkey) { handleCaptureHotkeyRecorded(hotkey); };
    auto* dragSwitch = new SwitchButton;
    dragSnapSwitch_ = dragSwitch;
    connect(dragSwitch, &QAbstractButton::clicked, this, [this] { handleDragSnapSwitch(); });
    dragModifierPopup_ = new QComboBox;
    dragModifierPopup_->setFixedWidth(150);
    for (const ModifierChoice& choice : dragModifiers)
        dragModifierPopup_->addItem(
            QString::fromStdString(platform().wording().modifierKey(Hotkey::carbonModifiers(choice.flags))));
    connect(dragModifierPopup_, &QComboBox::activated, this, [this] { handleDragModifierChanged(); });
    auto* updates = new QPushButton(QStringLiteral("Check for Updates…"));
    connect(updates, &QPushButton::clicked, this, [this] { handleCheckForUpdatesPressed(); });

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(0);
    layout->addWidget(title);
    auto section = [&](const QString& name, std::vector<QWidget*> rows, const QString& text, int above) {
        layout->addSpacing(above);
        layout->addWidget(header(name));
        layout->addSpacing(6);
        layout->addWidget(SettingsKit::card(rows));
        layout->addSpacing(6);
        layout->addWidget(note(text));
    };
    section(QStringLiteral("Save Kest"), {SettingsKit::row(QStringLiteral("Hotkey"), captureRecorder_)},
            QStringLiteral("Press this shortcut anywhere to save the current window arrangement as a new kest. "
                           "Double-click to record a new one; press Delete to reset to the default (") +
                QString::fromStdString(
                    Hotkey{HotkeyManager::defaultCaptureKeyCode, HotkeyManager::automaticModifiers}.displayString()) +
                QStringLiteral(")."),
            18);
    section(QStringLiteral("Snapping"),
            {SettingsKit::row(QStringLiteral("Drag snap"), dragSnapSwitch_),
             SettingsKit::row(QStringLiteral("Drag modifier"), dragModifierPopup_)},
            QStringLiteral("Drag snap — while dragging a window, hold the modifier to show the last applied kest's "
                           "slots and drop into one; release for free placement.") +
                (platform().capabilities().optionDragTiling
                     ? QStringLiteral(" When the modifier is Option, kestr also turns off macOS's own Option-drag "
                                      "tiling so only kestr's snap appears (switch to another modifier to restore it).")
                     : QString()),
            22);
    section(QStringLiteral("Software Update"),
            {SettingsKit::row(QStringLiteral("Version"), SettingsKit::value(appVersionAndBuild())),
             SettingsKit::row(QStringLiteral("Updates"), updates)},
            QString::fromStdString(platform().wording().updatesNote()), 22);
    layout->addStretch(1);
    scroll->setWidget(page);
    return scroll;
}

void LayoutEditorWindow::selectCaptureSettings() {
    showingCapture_ = true;
    sidebarFooter_->setActiveSelection(true);
    selectedLayoutID_.reset();
    layoutTable_->clearSelection();
    configureCaptureDetail();
    updateContentVisibility();
}

void LayoutEditorWindow::configureCaptureDetail() {
    captureRecorder_->setHotkey(shownCaptureHotkey(), false, HotkeySource::captureCurrent());
    sidebarFooter_->setShortcutText(QString());
    const bool on = dragSnapEnabled();
    dragSnapSwitch_->setChecked(on);
    dragModifierPopup_->setEnabled(on);
    const std::uint64_t modifier = Preferences::shared().dragSnapModifier();
    for (int i = 0; i < static_cast<int>(std::size(dragModifiers)); ++i) {
        if (dragModifiers[i].flags == modifier) dragModifierPopup_->setCurrentIndex(i);
    }
    OptionTiling(platform().defaults()).turnOffIfOwed(modifier);
}

void LayoutEditorWindow::handleCaptureHotkeyRecorded(std::optional<Hotkey> hotkey) {
    Preferences::shared().setCaptureHotkey(hotkey);
    HotkeyManager::shared().sync(store_.layouts, SnapStore::shared().bindings);
    configureCaptureDetail();
    if (onChange) onChange();
}

void LayoutEditorWindow::handleDragSnapSwitch() {
    const bool on = dragSnapSwitch_->isChecked();
    Preferences::shared().setBoolValue(enableDragSnapKey, on);
    WindowDragTracker::shared().setEnabled(on);
    dragModifierPopup_->setEnabled(on);
    if (onChange) onChange();
}

void LayoutEditorWindow::handleDragModifierChanged() {
    const int p = dragModifierPopup_->currentIndex();
    if (p < 0 || p >= static_cast<int>(std::size(dragModifiers))) return;
    const std::uint64_t flags = dragModifiers[p].flags;
    Preferences::shared().defaults.set(Preferences::dragSnapModifierKey, PlistValue(static_cast<std::int64_t>(flags)));
    OptionTiling(platform().defaults()).reconcile(flags);
}

// The updater answers for itself, also when this build has nowhere to look.
void LayoutEditorWindow::handleCheckForUpdatesPressed() { platform().updater().checkForUpdates(); }

}  // namespace kestr
