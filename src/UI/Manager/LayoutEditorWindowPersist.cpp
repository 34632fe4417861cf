// The manager window's hot key and pin, and storing every change it makes.
#include <QAbstractButton>

#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/KestSaveFailure.h"
#include "Core/LayoutStore.h"
#include "Platform/Platform.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/LayoutEditorWindow.h"

namespace kestr {

void LayoutEditorWindow::handleHotkeyRecorded(std::optional<Hotkey> hotkey) {
    std::optional<Layout> kest = selectedKest();
    if (!kest) return;
    kest->hotkey = hotkey;
    kest->updatedAt = Date::now();
    store_.update(*kest);
    persistAndRefresh();
}

void LayoutEditorWindow::handlePinToggle() {
    std::optional<Layout> kest = selectedKest();
    if (!kest) return;
    // Pinning keeps the hot key in effect, even one assigned automatically.
    kest->hotkey = pinSwitch_->isChecked() ? HotkeyManager::shared().effectiveHotkey(kest->id) : std::nullopt;
    kest->updatedAt = Date::now();
    store_.update(*kest);
    persistAndRefresh();
}

void LayoutEditorWindow::showSaveFailure(const std::exception& error) { reportKestSaveFailure(error); }

void LayoutEditorWindow::saveQuietly() {
    try {
        store_.save();
    } catch (const std::exception& error) {
        showSaveFailure(error);
    }
}

void LayoutEditorWindow::persistAndRefresh() {
    // A failed save keeps the change in memory; the hot keys follow memory either way.
    saveQuietly();
    const auto conflicts = HotkeyManager::shared().sync(store_.layouts, SnapStore::shared().bindings);
    const auto names = hotkeyConflictNames(conflicts, store_.layouts);
    if (!names.empty()) platform().log().line("kestr: hotkey conflict for: " + joinedNames(names));
    listModel_->reload();
    if (selectedLayoutID_) selectRowOf(*selectedLayoutID_);
    refreshDetail();
    if (onChange) onChange();
}

}  // namespace kestr
