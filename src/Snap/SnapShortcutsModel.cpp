#include "Snap/SnapShortcutsModel.h"

#include <algorithm>
#include <unordered_set>

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

std::string SnapShortcutsModel::label(const HotkeySource& source, const KestNames& names) {
    if (auto* kest = std::get_if<HotkeySource::Layout>(&source.value)) {
        const std::string* name = names.find(kest->id);
        return "Kest: " + (name ? UnicodeText::isolatedForDisplay(*name) : std::string("(kest)"));
    }
    if (auto* snap = std::get_if<HotkeySource::Snap>(&source.value)) return "Snap: " + snap->action.displayName();
    return "Save current windows";
}

namespace {

// The names of the kests among the owners `sourceOf` gives for each of `owners`.
template <typename Owners, typename SourceOf>
KestNames kestNamesOf(const Owners& owners, SourceOf sourceOf) {
    std::unordered_set<Uuid> wanted;
    for (const auto& owner : owners) {
        if (auto* kest = std::get_if<HotkeySource::Layout>(&sourceOf(owner).value)) wanted.insert(kest->id);
    }
    return KestNames(LayoutStore::shared().layouts, wanted);
}

}  // namespace

std::vector<std::string> SnapShortcutsModel::keysHeldElsewhere() {
    std::vector<std::string> out;
    const auto& held = HotkeyManager::shared().heldByOtherPrograms;
    const KestNames names =
        kestNamesOf(held, [](const HotkeyManager::Conflict& c) -> const HotkeySource& { return c.source; });
    for (const HotkeyManager::Conflict& c : held)
        out.push_back(label(c.source, names) + " (" + c.hotkey.displayString() + ")");
    return out;
}

void SnapShortcutsModel::recomputeConflicts() {
    // Only what registered at the last synchronisation is reserved; snaps collide among
    // themselves in `detect`.
    std::vector<SnapConflicts::Reserved> reserved;
    const auto& registrations = HotkeyManager::shared().registrations;
    const KestNames names = kestNamesOf(
        registrations, [](const HotkeyManager::Registration& r) -> const HotkeySource& { return r.source; });
    for (const HotkeyManager::Registration& r : registrations) {
        if (std::holds_alternative<HotkeySource::Snap>(r.source.value)) continue;
        reserved.push_back({r.hotkey, label(r.source, names)});
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
