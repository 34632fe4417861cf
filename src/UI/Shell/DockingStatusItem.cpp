#include "UI/Shell/DockingStatusItem.h"

#include "Platform/Platform.h"
#include "UI/Shell/TrayStatusItem.h"
#include "UI/Shell/WindowStatusItem.h"

namespace kestr {

DockingStatusItem::DockingStatusItem() {
    presence_.onAnswer = [this](TrayPresence::Kind now) { dock(now); };
    presence_.ask();
}

DockingStatusItem::~DockingStatusItem() = default;

void DockingStatusItem::keepMenu(MenuBuilder build, MenuDigest digest) {
    build_ = build;
    digest_ = digest;
    if (shown_) shown_->keepMenu(std::move(build), std::move(digest));
}

void DockingStatusItem::followMainDisplay() {
    if (auto* window = dynamic_cast<WindowStatusItem*>(shown_.get())) window->followMainDisplay();
}

void DockingStatusItem::dock(TrayPresence::Kind now) {
    using Kind = TrayPresence::Kind;
    // A D-Bus tray that was restarted or replaced knows nothing of the item: it registers
    // again.
    if (shown_ && now == place_ && now != Kind::statusNotifier) return;
    const double strip = shown_ ? keptTopStrip() : 0;
    place_ = now;
    // The old item goes first, so that nothing of it shows beside the new one.
    shown_.reset();
    if (now == Kind::none) {
        platform().log().line("kestr: this desktop has no system tray; the status button shows in a window of its own");
        shown_ = std::make_unique<WindowStatusItem>();
    } else {
        shown_ = std::make_unique<TrayStatusItem>(now);
    }
    shown_->onClick = [this](const Click& click) {
        if (onClick) onClick(click);
    };
    shown_->onKeptStripChange = [this] {
        if (onKeptStripChange) onKeptStripChange();
    };
    if (build_) shown_->keepMenu(build_, digest_);
    changed(0, true);
    if (keptTopStrip() != strip && onKeptStripChange) onKeptStripChange();
}

void DockingStatusItem::changed(double fadeSeconds, bool newImage) {
    if (!shown_) return;
    // Each part only when it changed: every change is drawn anew.
    if (newImage && image()) shown_->setImage(*image(), fadeSeconds);
    shown_->setTitle(title());
    shown_->setToolTip(toolTip());
    if (shown_->accessibility() != accessibility()) shown_->setAccessibility(accessibility());
    if (shown_->badge() != badge() || shown_->badgeFrame() != badgeFrame()) shown_->setBadge(badge(), badgeFrame());
}

}  // namespace kestr
