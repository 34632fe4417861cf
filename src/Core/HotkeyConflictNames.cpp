#include "Core/HotkeyConflictNames.h"

#include <algorithm>
#include <iterator>

namespace kestr {

std::vector<std::string> hotkeyConflictNames(const std::vector<HotkeyManager::Conflict>& conflicts,
                                             const std::vector<Layout>& layouts) {
    std::vector<std::string> names;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        std::string name;
        if (auto* kest = std::get_if<HotkeySource::Layout>(&conflict.source.value)) {
            auto it = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) { return l.id == kest->id; });
            if (it != layouts.end()) name = it->name;
        } else if (auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value)) {
            name = "Snap: " + snap->action.displayName();
        }
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

std::string hotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts) {
    if (auto* kest = std::get_if<HotkeySource::Layout>(&source.value)) {
        auto it = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) { return l.id == kest->id; });
        return "kest “" + (it != layouts.end() ? it->name : kest->id.string()) + "”";
    }
    if (auto* snap = std::get_if<HotkeySource::Snap>(&source.value)) return "snap “" + snap->action.displayName() + "”";
    return "capture shortcut";
}

std::vector<HotkeyManager::Conflict> heldElsewhere(const std::vector<HotkeyManager::Conflict>& conflicts) {
    std::vector<HotkeyManager::Conflict> out;
    std::copy_if(conflicts.begin(), conflicts.end(), std::back_inserter(out),
                 [](const HotkeyManager::Conflict& c) { return !c.heldBy; });
    return out;
}

std::string heldByKestr(const std::vector<HotkeyManager::Conflict>& conflicts, const std::vector<Layout>& layouts) {
    std::vector<std::string> texts;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        if (!conflict.heldBy) continue;
        texts.push_back(hotkeySourceName(conflict.source, layouts) + " (" + conflict.hotkey.displayString() +
                        ", held by " + hotkeySourceName(*conflict.heldBy, layouts) + ")");
    }
    return joinedNames(texts);
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace kestr
