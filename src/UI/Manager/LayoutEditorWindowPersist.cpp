// The manager window's hot key and pin, and storing every change it makes.
#include <QAbstractButton>
#include <QStringList>

#include "Core/HotkeyManager.h"
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

void LayoutEditorWindow::showSaveFailure(const std::exception& error) {
    platform().log().line(std::string("kestr: failed to save kests: ") + error.what());
    platform().alerts().runModal(AlertRequest{
        AlertStyle::critical,
        "Couldn't save your kests",
        "Your existing kests are unchanged. This usually means the disk is full or kestr's folder isn't "
        "writable. Technical details are in Console.",
        {"OK"},
        {},
    });
}

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
    QStringList names;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        QString name;
        if (auto* kest = std::get_if<HotkeySource::Layout>(&conflict.source.value)) {
            if (auto row = rowOf(kest->id)) name = QString::fromStdString(store_.layouts[static_cast<std::size_t>(*row)].name);
        } else if (auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value)) {
            name = QStringLiteral("Snap: ") + QString::fromStdString(snap->action.displayName());
        }
        if (!name.isEmpty() && !names.contains(name)) names << name;
    }
    if (!names.isEmpty()) {
        platform().log().line("kestr: hotkey conflict for: " + names.join(QStringLiteral(", ")).toStdString());
    }
    listModel_->reload();
    if (selectedLayoutID_) selectRowOf(*selectedLayoutID_);
    refreshDetail();
    if (onChange) onChange();
}

}  // namespace kestr
