#include "UI/Shell/StatusMenu.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/PermissionManager.h"
#include "Core/Preferences.h"
#include "Platform/ContentDigest.h"
#include "Platform/Platform.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Snap/SnapShortcutsModel.h"
#include "Snap/SnapStore.h"
#include "UI/KeyMapping.h"
#include "UI/Manager/AppVersionText.h"
#include "UI/ShownText.h"

namespace kestr {

namespace {

constexpr std::uint32_t qKeyCode = 12;

QAction* label(QMenu* menu, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setEnabled(false);
    return action;
}

// A kest's name as a menu shows it: a long one is cut with "…", so that the menu stays
// narrow enough to show the shortcuts and submenu arrows beside it; an "&" is shown as
// itself, not taken as the mark of an access key.
QString shownName(const QMenu* menu, const std::string& name) {
    const QFontMetricsF metrics(menu->font());
    return ShownText::elided(name, metrics, metrics.averageCharWidth() * StatusMenu::nameWidthInCharacters)
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QAction* command(QMenu* menu, const QString& text, const std::function<void()>& run) {
    QAction* action = menu->addAction(text);
    QObject::connect(action, &QAction::triggered, menu, [run] {
        if (run) run();
    });
    return action;
}

// The shortcut column shows the keys ("⌃⌥⌘1", or "Ctrl+Alt+Super+1" on a Linux desktop);
// the action carries the same keys, which a D-Bus tray shows. Keys that never reach
// kestr, or never the entry's `source` (another of kestr's shortcuts took them), are
// marked, say why under the entry's own tooltip (`tip`), and are not handed to the tray as
// usable.
void showHotkey(QAction* action, const std::optional<Hotkey>& hotkey, bool everyKey = false, QString tip = {},
                const std::optional<HotkeySource>& source = std::nullopt) {
    const QKeySequence keys = hotkey ? StatusMenu::shortcut(*hotkey, everyKey) : QKeySequence();
    const HotkeyManager& hotkeys = HotkeyManager::shared();
    const auto why = hotkey ? hotkeys.whyNotArriving(*hotkey, source) : std::nullopt;
    if (why && !keys.isEmpty()) tip += (tip.isEmpty() ? "" : "\n") + QString::fromStdString(*why);
    if (!tip.isEmpty()) action->setToolTip(ShownText::toolTip(tip));
    if (keys.isEmpty()) return;
    action->setText(action->text() + QLatin1Char('\t') +
                    QString::fromStdString(hotkeys.shownKeys(*hotkey, false, source)));
    if (!why) action->setShortcut(keys);
}

QAction* kestRow(QMenu* menu, const Layout& kest, bool trusted, const StatusMenu::Actions& actions) {
    const Uuid id = kest.id;
    QAction* item = new QAction(QStringLiteral("  ") + shownName(menu, kest.name), menu);
    QObject::connect(item, &QAction::triggered, menu, [apply = actions.applyKest, id] {
        if (apply) apply(id);
    });
    item->setData(QString::fromStdString(id.string()));
    item->setEnabled(trusted && !kest.items.empty());
    showHotkey(item, HotkeyManager::shared().kestHotkey(kest), false,
               QStringLiteral("Reposition open windows and reopen any that were closed"), HotkeySource::layout(id));
    return item;
}

// Puts the row of `kest` into `menu` before `before` (at the end when null); returns how
// many kest rows in all, that one included, keep the menu within `height` pixels.
std::size_t firstRow(QMenu* menu, QAction* before, const Layout& kest, int height, bool trusted,
                     const StatusMenu::Actions& actions) {
    const int without = menu->sizeHint().height();
    menu->insertAction(before, kestRow(menu, kest, trusted, actions));
    const int rowHeight = std::max(1, menu->sizeHint().height() - without);
    return static_cast<std::size_t>(std::max(0, (height - without) / rowHeight));
}

void addRows(QMenu* menu, QAction* before, std::span<const Layout> kests, bool trusted,
             const StatusMenu::Actions& actions) {
    for (const Layout& kest : kests) menu->insertAction(before, kestRow(menu, kest, trusted, actions));
}

// Puts the kest rows into `menu` before `before`, as many as keep the menu within
// `height` pixels; the rest stand in a "More Kests" submenu after them. That submenu holds
// the rest itself when they fit, else submenus side by side, each as full as fits, named
// by the places of their kests in the list. So every command of the menu stays on the
// screen, and the menu is never more than three levels deep, whatever the number of kests.
void addKestRows(QMenu* menu, QAction* before, std::span<const Layout> kests, int height, bool trusted,
                 const StatusMenu::Actions& actions) {
    if (kests.empty()) return;
    const std::size_t fit = firstRow(menu, before, kests.front(), height, trusted, actions);
    // Within a menu that must overflow, one row's place goes to the submenu.
    const std::size_t shown = kests.size() <= fit ? kests.size() : std::max<std::size_t>(fit, 2) - 1;
    addRows(menu, before, kests.subspan(1, shown - 1), trusted, actions);
    if (shown == kests.size()) return;
    auto* more = new QMenu(QStringLiteral("More Kests"), menu);
    more->setToolTipsVisible(true);
    menu->insertMenu(before, more);
    const std::span<const Layout> rest = kests.subspan(shown);
    const std::size_t perMenu = std::max<std::size_t>(1, firstRow(more, nullptr, rest.front(), height, trusted, actions));
    if (rest.size() <= perMenu) {
        addRows(more, nullptr, rest.subspan(1), trusted, actions);
        return;
    }
    delete more->actions().front();
    for (std::size_t first = 0; first < rest.size(); first += perMenu) {
        const std::span<const Layout> part = rest.subspan(first, std::min(perMenu, rest.size() - first));
        auto* group = new QMenu(QStringLiteral("Kests %1–%2").arg(shown + first + 1).arg(shown + first + part.size()),
                                more);
        group->setToolTipsVisible(true);
        more->addMenu(group);
        addRows(group, nullptr, part, trusted, actions);
    }
}

}  // namespace

QKeySequence StatusMenu::shortcut(const Hotkey& hotkey, bool everyKey) {
    std::optional<int> key;
    const std::string character = hotkey.menuKeyEquivalent();
    if (!character.empty()) {
        key = QChar(character[0]).toUpper().unicode();
    } else if (everyKey && hotkey.keyCode <= std::numeric_limits<std::uint16_t>::max()) {
        key = qtKey(static_cast<std::uint16_t>(hotkey.keyCode));
    }
    if (!key) return {};
    Qt::KeyboardModifiers modifiers;
    if (hotkey.modifiers & CarbonModifier::command) modifiers |= Qt::ControlModifier;
    if (hotkey.modifiers & CarbonModifier::option) modifiers |= Qt::AltModifier;
    if (hotkey.modifiers & CarbonModifier::control) modifiers |= Qt::MetaModifier;
    if (hotkey.modifiers & CarbonModifier::shift) modifiers |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(*key)));
}

std::vector<SnapBinding> StatusMenu::sortedBindings(std::vector<SnapBinding> bindings) {
    std::stable_sort(bindings.begin(), bindings.end(), [](const SnapBinding& a, const SnapBinding& b) {
        const int groups =
            std::strcmp(SnapShortcutsModel::groupName(a.action), SnapShortcutsModel::groupName(b.action));
        if (groups != 0) return groups < 0;
        return a.action.rawValue() < b.action.rawValue();
    });
    return bindings;
}

bool StatusMenu::dragSnapEnabled() { return Preferences::shared().boolValue(enableDragSnapKey); }

std::unique_ptr<QMenu> StatusMenu::build(bool trusted, const Actions& actions, std::optional<int> screenHeight) {
    auto menu = std::make_unique<QMenu>();
    menu->setToolTipsVisible(true);
    label(menu.get(), appVersionText());
    // A desktop without the permission has no line for it.
    if (PermissionManager::isAskedFor()) {
        menu->addSeparator();
        label(menu.get(), trusted ? QStringLiteral("✓  Accessibility permission OK")
                                  : QStringLiteral("⚠  Accessibility permission required"));
        if (!trusted) {
            menu->addSeparator();
            command(menu.get(), QStringLiteral("Request Accessibility Permission…"), actions.requestPermission);
            command(menu.get(), QStringLiteral("Open Accessibility Settings…"), actions.openAccessibilitySettings);
        }
    }
    menu->addSeparator();
    if (const auto active = EdgeProximityTracker::shared().activeKestName()) {
        label(menu.get(), QStringLiteral("● Active kest: ") + shownName(menu.get(), *active));
        command(menu.get(), QStringLiteral("Release Kest (free editing)"), actions.releaseKest);
        menu->addSeparator();
    }
    label(menu.get(),
          LayoutStore::shared().layouts.empty() ? QStringLiteral("No saved kests") : QStringLiteral("Apply Kest"));
    QAction* save = command(menu.get(), QStringLiteral("Save Current Arrangement as Kest…"), actions.saveCurrent);
    save->setEnabled(trusted);
    // The shortcut that is registered now, which the user may have changed or another
    // program may hold.
    showHotkey(save, HotkeyManager::shared().captureHotkey(), true);
    command(menu.get(), QStringLiteral("Manage Kests…"), actions.manage);
    menu->addSeparator();
    menu->addMenu(buildSnapSubmenu(trusted, actions, menu.get()));
    menu->addMenu(buildPreferencesSubmenu(actions, menu.get()));
    command(menu.get(), QStringLiteral("Check for Updates…"), actions.checkForUpdates);
    menu->addSeparator();
    QAction* quit = command(menu.get(), QStringLiteral("Quit kestr"), actions.quit);
    showHotkey(quit, Hotkey{qKeyCode, CarbonModifier::command});
    // The kest rows go in last, once the height of everything else is known.
    const QScreen* primary = QGuiApplication::primaryScreen();
    const int height = screenHeight.value_or(primary ? primary->availableGeometry().height() : 600);
    addKestRows(menu.get(), save, LayoutStore::shared().layouts, height, trusted, actions);
    return menu;
}

std::uint64_t StatusMenu::digest(bool trusted) {
    // What build() reads, each text after its length.
    std::string read;
    const auto number = [&read](std::uint64_t n) { read.append(reinterpret_cast<const char*>(&n), sizeof n); };
    const auto text = [&](const std::string& t) {
        number(t.size());
        read += t;
    };
    const auto keys = [&](const std::optional<Hotkey>& hotkey) {
        number(hotkey ? std::uint64_t(hotkey->keyCode) << 32 | hotkey->modifiers : ~std::uint64_t(0));
    };
    number(trusted);
    number(PermissionManager::isAskedFor());
    number(dragSnapEnabled());
    // What the registrations say of every shortcut shown, the keys of a kest's own among
    // them.
    number(HotkeyManager::shared().revision());
    text(platform().wording().snapsTabCommand());
    text(QApplication::font("QMenu").toString().toStdString());
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect area = primary->availableGeometry();
        number(std::uint64_t(area.width()) << 32 | std::uint32_t(area.height()));
    }
    const auto active = EdgeProximityTracker::shared().activeKestName();
    number(active.has_value());
    if (active) text(*active);
    const auto& kests = LayoutStore::shared().layouts;
    number(kests.size());
    for (const Layout& kest : kests) {
        read.append(reinterpret_cast<const char*>(kest.id.bytes.data()), kest.id.bytes.size());
        text(kest.name);
        number(kest.items.empty());
        keys(kest.hotkey);
    }
    const auto& bindings = SnapStore::shared().bindings;
    number(bindings.size());
    for (const SnapBinding& binding : bindings) {
        text(binding.action.rawValue());
        keys(binding.hotkey);
    }
    return contentDigest(read);
}

QMenu* StatusMenu::buildSnapSubmenu(bool trusted, const Actions& actions, QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("Snap"), parent);
    menu->setToolTipsVisible(true);
    const auto bindings = sortedBindings(SnapStore::shared().bindings);
    if (bindings.empty()) label(menu, QStringLiteral("No snap shortcuts"));
    for (const SnapBinding& binding : bindings) {
        const std::string raw = binding.action.rawValue();
        QAction* item = command(menu, QStringLiteral("  ") + QString::fromStdString(binding.action.displayName()),
                                [apply = actions.applySnap, raw] {
                                    if (apply) apply(raw);
                                });
        item->setData(QString::fromStdString(raw));
        item->setEnabled(trusted);
        showHotkey(item, binding.hotkey, true, {}, HotkeySource::snap(binding.action));
    }
    menu->addSeparator();
    command(menu, QStringLiteral("Configure Snap Shortcuts…"), actions.configureSnaps);
    command(menu, QStringLiteral("Reset to Default Shortcuts"), actions.restoreDefaultShortcuts);
    command(menu, QString::fromStdString(platform().wording().snapsTabCommand()), actions.importSnaps);
    return menu;
}

QMenu* StatusMenu::buildPreferencesSubmenu(const Actions& actions, QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("Preferences"), parent);
    menu->setToolTipsVisible(true);
    QAction* dragSnap =
        command(menu, QStringLiteral("Drag Snap (drag a window to fit a kest)"), actions.toggleDragSnap);
    dragSnap->setCheckable(true);
    dragSnap->setChecked(dragSnapEnabled());
    dragSnap->setToolTip(
        QStringLiteral("When on, the last applied kest's slots appear as white highlights only while you hold the "
                       "drag modifier (") +
        QString::fromStdString(Hotkey::modifierText(CarbonModifier::command)) +
        QStringLiteral(" by default) — drop on a slot to fit it there. Drag without the modifier for free placement. "
                       "(Modifier is set in Manage Kests → Shortcuts.)"));
    // Two commands that have no other way in.
    command(menu, QStringLiteral("Reveal Kests File"), actions.revealKestsFile);
    command(menu, QStringLiteral("Dump Window List"), actions.dumpWindowList);
    return menu;
}

}  // namespace kestr
