// The status menu: built afresh on every right click from the state of the moment (the
// permission, the active kest, the stored kests with the hot keys actually registered,
// the snap bindings, the drag-snap setting), never kept. Its items call the commands
// handed over in Actions.
#pragma once

#include <QKeySequence>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/Hotkey.h"
#include "Core/SnapBinding.h"
#include "Core/Uuid.h"

class QMenu;
class QWidget;

namespace kestr {

struct StatusMenu {
    struct Actions {
        std::function<void(const Uuid&)> applyKest;
        std::function<void()> releaseKest;
        std::function<void()> requestPermission;
        std::function<void()> openAccessibilitySettings;
        std::function<void()> saveCurrent;
        std::function<void()> manage;
        std::function<void()> checkForUpdates;
        std::function<void()> quit;
        // The Snap submenu; a snap is named by its action's raw name.
        std::function<void(const std::string&)> applySnap;
        std::function<void()> configureSnaps;
        std::function<void()> restoreDefaultShortcuts;
        std::function<void()> importSnaps;
        // The Preferences submenu.
        std::function<void()> toggleDragSnap;
        std::function<void()> revealKestsFile;
        std::function<void()> dumpWindowList;
    };

    // Kest rows that would not fit `screenHeight` pixels (the primary screen's available
    // height when none is given) stand in a "More Kests" submenu after the rows that do.
    static std::unique_ptr<QMenu> build(bool trusted, const Actions& actions,
                                        std::optional<int> screenHeight = std::nullopt);
    // A digest of all that build(trusted, …) shows without a `screenHeight`: two menus made
    // at the same digest show the same, so a menu kept for a tray is made again only when
    // it changes. It costs a small part of making the menu.
    static std::uint64_t digest(bool trusted);
    // Owned by `parent`.
    static QMenu* buildSnapSubmenu(bool trusted, const Actions& actions, QWidget* parent);
    static QMenu* buildPreferencesSubmenu(const Actions& actions, QWidget* parent);

    // The Snap submenu's order: by group label, then by the action's raw name, ties in
    // stored order.
    static std::vector<SnapBinding> sortedBindings(std::vector<SnapBinding> bindings);
    // The shortcut a menu item shows for a hot key: empty for keys without a menu
    // character, unless `everyKey` asks for those too (arrows, Return, Backspace, function
    // keys). Modifiers follow this desktop's keyboard: command is Ctrl, option Alt,
    // control Meta.
    static QKeySequence shortcut(const Hotkey& hotkey, bool everyKey = false);

    // Kest names longer than about this many characters are cut with "…".
    static constexpr int nameWidthInCharacters = 40;

    static constexpr const char* enableDragSnapKey = "kestr.enableDragSnap";
    static bool dragSnapEnabled();
};

}  // namespace kestr
