#include "Core/HotkeyConflictNames.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <unordered_set>

#include "Core/UnicodeText.h"

namespace kestr {

std::vector<std::string> hotkeyConflictNames(const std::vector<HotkeyManager::Conflict>& conflicts,
                                             const std::vector<Layout>& layouts) {
    std::optional<KestNames> kests;  // gathered at the first refused kest
    std::vector<std::string> names;
    std::unordered_set<std::string> named;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        std::string name;
        if (auto* kest = std::get_if<HotkeySource::Layout>(&conflict.source.value)) {
            if (!kests) kests.emplace(layouts);
            if (const std::string* found = kests->find(kest->id)) name = *found;
        } else if (auto* snap = std::get_if<HotkeySource::Snap>(&conflict.source.value)) {
            name = "Snap: " + snap->action.displayName();
        }
        if (!name.empty() && named.insert(name).second) names.push_back(name);
    }
    return names;
}

namespace {

// The name of the first kest with an identifier, a walk of the list each: for naming a few.
auto namesIn(const std::vector<Layout>& layouts) {
    return [&layouts](const Uuid& id) -> const std::string* {
        const auto it = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) { return l.id == id; });
        return it == layouts.end() ? nullptr : &it->name;
    };
}

// `nameOf` gives the name of a kest by its identifier, none when there is no such kest.
template <class NameOf>
std::string sourceName(const HotkeySource& source, const NameOf& nameOf, bool shown = false) {
    if (auto* kest = std::get_if<HotkeySource::Layout>(&source.value)) {
        const std::string* name = nameOf(kest->id);
        if (!name) return "kest “" + kest->id.string() + "”";
        return "kest “" + (shown ? UnicodeText::isolatedForDisplay(*name) : *name) + "”";
    }
    if (auto* snap = std::get_if<HotkeySource::Snap>(&source.value)) return "snap “" + snap->action.displayName() + "”";
    return "capture shortcut";
}

}  // namespace

std::string hotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts) {
    return sourceName(source, namesIn(layouts));
}

std::string shownHotkeySourceName(const HotkeySource& source, const std::vector<Layout>& layouts) {
    return sourceName(source, namesIn(layouts), true);
}

std::string shownHotkeySourceName(const HotkeySource& source, const KestNames& kests) {
    const auto nameOf = [&kests](const Uuid& id) { return kests.find(id); };
    return sourceName(source, nameOf, true);
}

std::vector<HotkeyManager::Conflict> heldElsewhere(const std::vector<HotkeyManager::Conflict>& conflicts) {
    std::vector<HotkeyManager::Conflict> out;
    std::copy_if(conflicts.begin(), conflicts.end(), std::back_inserter(out),
                 [](const HotkeyManager::Conflict& c) { return !c.heldBy && !c.keyMissing; });
    return out;
}

std::vector<HotkeyManager::Conflict> keysMissing(const std::vector<HotkeyManager::Conflict>& conflicts) {
    std::vector<HotkeyManager::Conflict> out;
    std::copy_if(conflicts.begin(), conflicts.end(), std::back_inserter(out),
                 [](const HotkeyManager::Conflict& c) { return c.keyMissing; });
    return out;
}

std::string heldByKestr(const std::vector<HotkeyManager::Conflict>& conflicts, const std::vector<Layout>& layouts) {
    // Few are named.
    const auto nameOf = namesIn(layouts);
    std::vector<std::string> texts;
    std::size_t unnamed = 0;
    for (const HotkeyManager::Conflict& conflict : conflicts) {
        if (!conflict.heldBy) continue;
        if (texts.size() == HotkeyManager::namedRefusals) {
            ++unnamed;
            continue;
        }
        texts.push_back(sourceName(conflict.source, nameOf) + " (" + conflict.hotkey.displayString() + ", held by " +
                        sourceName(*conflict.heldBy, nameOf) + ")");
    }
    if (unnamed) texts.push_back("and " + std::to_string(unnamed) + " more");
    return joinedNames(texts);
}

std::string joinedNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace kestr
