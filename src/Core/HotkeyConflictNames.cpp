#include "Core/HotkeyConflictNames.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "Core/UnicodeText.h"

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

namespace {

// The first kest of each identifier, so that naming many conflicts takes one walk of
// the list, not one for each.
class KestNames {
public:
    explicit KestNames(const std::vector<Layout>& layouts) {
        for (const Layout& l : layouts) names_.emplace(l.id, &l.name);
    }
    const std::string* find(const Uuid& id) const {
        const auto it = names_.find(id);
        return it == names_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<Uuid, const std::string*> names_;
};

std::string sourceName(const HotkeySource& source, const KestNames& kests, bool shown = false) {
    if (auto* kest = std::get_if<HotkeySource::Layout>(&source.value)) {
        const std::string* name = kests.find(kest->id);
        if (!name) return "kest “" + kest->id.string() + "”";
        return "kest “" + (shown ? UnicodeText::isolatedForDisplay(*name) : *name) + "”";
    }
    if (auto* snap = std::get_if<HotkeySource::Snap>(&source.value)) return "snap “" + snap->action.displayName() + "”";
    return "capture shortcut";
}

}  // namespace

std::string hotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts) {
    return sourceName(source, KestNames(layouts));
}

std::string shownHotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts) {
    return sourceName(source, KestNames(layouts), true);
}

std::vector<HotkeyManager::Conflict> heldElsewhere(const std::vector<HotkeyManager::Conflict>& conflicts) {
    std::vector<HotkeyManager::Conflict> out;
    std::copy_if(conflicts.begin(), conflicts.end(), std::back_inserter(out),
                 [](const HotkeyManager::Conflict& c) { return !c.heldBy; });
    return out;
}

std::string heldByKestr(const std::vector<HotkeyManager::Conflict>& conflicts, const std::vector<Layout>& layouts) {
    const KestNames kests(layouts);
    std::vector<std::string> texts;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        if (!conflict.heldBy) continue;
        texts.push_back(sourceName(conflict.source, kests) + " (" + conflict.hotkey.displayString() + ", held by " +
                        sourceName(*conflict.heldBy, kests) + ")");
    }
    return joinedNames(texts);
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace kestr
