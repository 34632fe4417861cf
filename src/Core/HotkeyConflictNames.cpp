#include "Core/HotkeyConflictNames.h"

#include <algorithm>

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

std::string joinedNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace kestr
