// The commands of the status menu and the kest panel that are not the save: applying a
// kest or a snap, releasing the active kest, the permission requests, opening the
// manager window, checking for updates, restoring the default snap shortcuts,
// revealing the kests file, writing the window list to the Desktop and switching drag
// snap. What belongs to the menu-bar controller (its panel, its icon, refreshing what
// shows the kests) is reached through the callbacks it sets.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "App/ConsoleOutput.h"
#include "Core/SnapAction.h"
#include "Core/Uuid.h"
#include "Layout/LayoutApplier.h"
#include "Platform/Displays.h"
#include "UI/Manager/LayoutEditorWindow.h"

namespace kestr {

class MenuCommands {
public:
    std::function<void()> rebuildMenu;
    std::function<void()> flashApplied;
    std::function<void()> hidePanel;
    // The display of the screen that holds the status button; none when unknown.
    std::function<std::optional<DisplayID>()> statusButtonDisplay;
    // Where the window list is printed besides its file; none: standard output.
    ConsoleOutput* console = nullptr;

    // Applies the kest anchored on the status button's display; nothing without the
    // permission or for an identifier no kest has.
    void applyKest(const Uuid& id, LayoutApplier::ApplyMode mode);
    // Snaps the focused window; ignored without the permission. The name form takes an
    // action's raw name and ignores one that names no action.
    void applySnap(SnapAction action);
    void applySnap(const std::string& rawName);
    void releaseKest();

    void requestPermission();
    void openAccessibilitySettings();
    // Opens the manager window on a tab; its changes refresh the menu-bar controller.
    void manage(LayoutEditorWindow::Tab tab);
    void checkForUpdates();

    void restoreDefaultShortcuts();
    void revealKestsFile();
    void dumpWindowList();
    void toggleDragSnap();

    // "kestr-windows.txt" in the desktop folder.
    static std::string dumpFilePath();
    // How long the toast that says where the dump went stays.
    static constexpr double dumpToastDuration = 4.0;

private:
    void refresh() const;
};

}  // namespace kestr
