#include "Snap/SnapShortcutsModel.h"

#include <algorithm>

#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/UnicodeText.h"
#include "Platform/Platform.h"
#include "Snap/SnapConflicts.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapStore.h"

namespace kestr {

const char* SnapShortcutsModel::groupName(SnapAction action) {
    const auto& all = SnapAction::allCases();
    const auto index = std::find(all.begin(), all.end(), action) - all.begin();
    // Consecutive runs of the declaration order.
    struct Group {
        long end;
        const char* name;
    };
    static constexpr Group groups[] = {{5, "Halves"},  {9, "Quarters"}, {15, "Thirds"}, {22, "Fourths"},
                                       {28, "Sixths"}, {35, "Size"},    {39, "Move"},   {41, "Displays"}};
    for (const Group& group : groups) {
        if (index < group.end) return group.name;
    }
    return "";
}

std::optional<std::string> SnapShortcutsModel::heldModifiersWarning() {
    const HotkeyManager& hotkeys = HotkeyManager::shared();
    if (hotkeys.heldModifiers == 0) return std::nullopt;
    std::string warning = "\u26A0";
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (hotkeys.heldModifiers & modifier) warning += " " + hotkeys.heldKeyAdvice(modifier);
    }
    return warning;
}

std::string SnapShortcutsModel::label(const HotkeySource& source) {
    if (auto* kest = std::get_if<HotkeySource::Layout>(&source.value)) {
        const auto& layouts = LayoutStore::shared().layouts;
        auto it = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) { return l.id == kest->id; });
        return "Kest: " + (it != layouts.end() ? UnicodeText::isolatedForDisplay(it->name) : std::string("(kest)"));
    }
    if (auto* snap = std::get_if<HotkeySource::Snap>(&source.value)) return "Snap: " + snap->action.displayName();
    return "Save current windows";
}

std::vector<std::string> SnapShortcutsModel::keysHeldElsewhere() {
    std::vector<std::string> out;
    for (const HotkeyManager::Conflict& c : HotkeyManager::shared().heldByOtherPrograms)
        out.push_back(label(c.source) + " (" + c.hotkey.displayString() + ")");
    return out;
}

void SnapShortcutsModel::recomputeConflicts() {
    // Only what registered at the last synchronisation is reserved; snaps collide among
    // themselves in `detect`.
    std::vector<SnapConflicts::Reserved> reserved;
    for (const HotkeyManager::Registration& r : HotkeyManager::shared().registrations) {
        if (std::holds_alternative<HotkeySource::Snap>(r.source.value)) continue;
        reserved.push_back({r.hotkey, label(r.source)});
    }
    conflicts_ = SnapConflicts::detect(SnapStore::shared().bindings, reserved);
}

void SnapShortcutsModel::persist() {
    SnapStore& store = SnapStore::shared();
    try {
        store.save();
    } catch (const std::exception& error) {
        // The bindings in memory keep the change; the hot keys follow them.
        platform().log().line(std::string("kestr: failed to save snap bindings: ") + error.what());
        platform().alerts().runModal(AlertRequest{
            AlertStyle::critical,
            "Couldn't save your snap shortcuts",
            "Your existing shortcuts are unchanged. This usually means the disk is full or kestr's folder isn't "
            "writable. " +
                platform().wording().technicalDetails(),
            {"OK"},
            {},
        });
    }
    const auto& layouts = LayoutStore::shared().layouts;
    const auto names = hotkeyConflictNames(HotkeyManager::shared().sync(layouts, store.bindings), layouts);
    if (!names.empty()) platform().log().line("kestr: snap hotkey conflict for: " + joinedNames(names));
    recomputeConflicts();
    if (onChange) onChange();
}

void SnapShortcutsModel::setHotkey(const std::optional<Hotkey>& hotkey, SnapAction action) {
    SnapStore::shared().setHotkey(hotkey, action);
    persist();
}

bool SnapShortcutsModel::confirmReset() {
    constexpr std::uint32_t placement = CarbonModifier::control | CarbonModifier::option;
    const int answer = platform().alerts().runModal(AlertRequest{
        AlertStyle::warning,
        "Reset to default shortcuts?",
        "Resets all snap actions (halves, corners, thirds, fourths, sixths, move, size, displays) to kestr's "
        "defaults — " +
            Hotkey::modifierText(placement) + " for placement, " +
            Hotkey::modifierText(placement | CarbonModifier::shift) + " for detailed/move, " +
            Hotkey::modifierText(placement | CarbonModifier::command) +
            " for displays. Shortcuts you changed yourself will be overwritten.",
        {"Reset", "Cancel"},
        {},
    });
    return answer == alertFirstButtonReturn;
}

void SnapShortcutsModel::putDefaultsInStore() {
    for (const SnapBinding& binding : SnapDefaults::magnetBindings()) {
        SnapStore::shared().setHotkey(binding.hotkey, binding.action);
    }
}

bool SnapShortcutsModel::resetToDefaults() {
    if (!confirmReset()) return false;
    putDefaultsInStore();
    persist();
    return true;
}

}  // namespace kestr
