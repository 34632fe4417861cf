// The status button's picture, badge, tooltip and accessibility texts: which picture
// each state of the program shows, the 2-second flashes after a save or an apply, and
// the badge of a missing permission, a running window manager or a key another program
// keeps for itself.
#include <QStringList>

#include "App/MenuBarController.h"
#include "Core/ConflictingApps.h"
#include "Core/HotkeyManager.h"
#include "Core/PermissionManager.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "UI/MenuBarTint.h"

namespace kestr {

namespace {

constexpr double flashSeconds = 2.0;
constexpr double fadeSeconds = 0.25;
constexpr double badgeSide = 64;

QString conflictNames() {
    QStringList names;
    for (const auto& running : ConflictingApps::running()) names << QString::fromStdString(running.name);
    return names.join(", ");
}

// A desktop without the permission has nothing to report on it.
QString readyToolTip() { return PermissionManager::isAskedFor() ? "kestr — Accessibility OK" : "kestr"; }

}  // namespace

void MenuBarController::configureButton(bool trusted) {
    if (!statusItem_) return;
    statusItem_->setToolTip(trusted ? readyToolTip() : "kestr — Accessibility permission required");
    setIcon(MenuIcon::idle, trusted);
}

void MenuBarController::applyButtonImage() {
    if (!statusItem_ || !baseImage) return;
    statusItem_->setImage(*baseImage, fadeSeconds);
    statusItem_->setTitle("");
    updateConflictBadgeOverlay();
    updateAccessibility();
}

void MenuBarController::cancelFlash() {
    if (savedFlashWorkItem && hasPlatform()) platform().mainActor().cancel(*savedFlashWorkItem);
    savedFlashWorkItem.reset();
}

void MenuBarController::showRestingIcon() {
    if (kestActive) {
        setActiveKestComposite();
    } else {
        setIcon(MenuIcon::idle, std::nullopt);
    }
}

void MenuBarController::setDraggingIcon(bool active) {
    cancelFlash();
    if (active) {
        setDraggingComposite(false);
    } else {
        showRestingIcon();
    }
}

void MenuBarController::flashIcon(MenuIcon icon) {
    cancelFlash();
    setIcon(icon, std::nullopt);
    if (statusItem_) statusItem_->setAccessibilityValue(icon == MenuIcon::saved ? "Kest saved" : "Kest applied");
    std::weak_ptr<MenuBarController*> weak = self_;
    savedFlashWorkItem = platform().mainActor().schedule(flashSeconds, [weak] {
        auto self = weak.lock();
        if (!self) return;
        (*self)->savedFlashWorkItem.reset();
        (*self)->showRestingIcon();
    });
}

void MenuBarController::setIcon(MenuIcon icon, std::optional<bool> trusted) {
    if (!statusItem_) return;
    const bool isTrusted = trusted.value_or(permission.isTrusted);
    const std::optional<bool> dark = MenuBarTint::panelIsDark();
    std::optional<MenuBarImage> image;
    switch (icon) {
        case MenuIcon::idle:
        case MenuIcon::alert:
            image = MenuBarIcons::iconImage(icon, isTrusted ? "kestr" : "kestr (needs Accessibility)");
            break;
        case MenuIcon::saved:
            image = MenuBarIcons::composite("menubar-saved-base", "menubar-saved-mark", MenuBarIcons::heartColor(),
                                            dark, "kestr (saved)");
            break;
        case MenuIcon::apply:
            image = MenuBarIcons::composite("menubar-apply-base", "menubar-apply-mark", MenuBarIcons::sparkleColor(),
                                            dark, "kestr (applied)");
            break;
    }
    if (!image) {
        // The picture on the button stays; the title says who we are.
        statusItem_->setTitle(isTrusted ? "kestr" : "kestr ⚠");
        return;
    }
    baseImage = image;
    baseTint.reset();
    applyButtonImage();
}

void MenuBarController::setDraggingComposite(bool clipped) {
    if (!statusItem_) return;
    const auto image = MenuBarIcons::composite(
        "menubar-idle-ring", "menubar-idle-fill", clipped ? MenuBarIcons::clippedColor() : MenuBarIcons::pointColor(),
        MenuBarTint::panelIsDark(), clipped ? "kestr (dragging — limit)" : "kestr (dragging)");
    if (!image) {
        setIcon(MenuIcon::idle, std::nullopt);
        return;
    }
    baseImage = image;
    baseTint.reset();
    applyButtonImage();
}

void MenuBarController::setActiveKestComposite() {
    const auto image = MenuBarIcons::activeKestImage();
    if (!image) {
        setIcon(MenuIcon::idle, std::nullopt);
        return;
    }
    if (!statusItem_) return;
    baseImage = image;
    baseTint.reset();
    applyButtonImage();
}

void MenuBarController::updateConflictBadgeOverlay() {
    if (!statusItem_) return;
    QImage badge;
    const auto held = HotkeyManager::shared().heldKeysSummary();
    if (hasConflicts) {
        badge = MenuBarIcons::cautionBadge(badgeSide);
        const QString names = conflictNames();
        statusItem_->setToolTip((names.isEmpty() ? "kestr — a window manager may override its shortcuts."
                                                 : "kestr — " + names + " may override its shortcuts.") +
                                (held ? " " + QString::fromStdString(*held) + "." : QString()) + " Click to manage.");
    } else if (held) {
        // Shortcuts that never arrive are a conflict too, whoever holds their keys.
        badge = MenuBarIcons::cautionBadge(badgeSide);
        statusItem_->setToolTip("kestr — " + QString::fromStdString(*held) + ".");
    } else if (permission.isTrusted) {
        statusItem_->setToolTip(readyToolTip());
        statusItem_->setBadge(std::nullopt);
        return;
    } else {
        badge = MenuBarIcons::setupBadge(badgeSide);
        statusItem_->setToolTip("kestr — click to grant Accessibility permission");
    }
    // Ends 4 points right of the picture, level with its top.
    const QSizeF bounds = statusItem_->buttonSize();
    const double w = baseImage ? baseImage->size().width() : bounds.width();
    const double inset = (bounds.width() - w) * 0.5;
    statusItem_->setBadge(badge, QRectF(inset + w - 15.05, (bounds.height() - 15) * 0.5 - 3, 19.05, 19.05));
}

void MenuBarController::updateAccessibility() {
    if (!statusItem_) return;
    StatusItem::Accessibility texts;
    texts.role = QString::fromStdString(ax::buttonRole);
    texts.label = "kestr";
    texts.help = "Click to open your kests; right-click for the menu";
    if (!permission.isTrusted) {
        texts.value = "Accessibility permission needed";
    } else if (hasConflicts) {
        const QString names = conflictNames();
        texts.value = names.isEmpty() ? "A conflicting window manager is running" : "Conflict — " + names + " running";
    } else if (const auto held = HotkeyManager::shared().heldKeysSummary()) {
        texts.value = QString::fromStdString(*held);
    } else {
        texts.value = "Ready";
    }
    statusItem_->setAccessibility(texts);
}

void MenuBarController::handleAccessRevoked() {
    AlertRequest request;
    request.messageText = "kestr lost Accessibility access";
    request.informativeText =
        "Its shortcuts can't move windows until you re-enable kestr under System Settings ▸ Privacy & Security ▸ "
        "Accessibility.";
    request.buttons = {"Open Settings", "Later"};
    if (platform().alerts().runModal(request) != alertFirstButtonReturn) return;
    permission.openAccessibilitySettings();
    permission.beginFastWatch(30);
}

}  // namespace kestr
