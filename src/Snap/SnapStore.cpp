#include "Snap/SnapStore.h"

#include <algorithm>
#include <iterator>

#include "Core/ThreeWayMerge.h"
#include "Platform/FilePath.h"
#include "Platform/Platform.h"
#include "Snap/SnapJson.h"

namespace kestr {

SnapStore::SnapStore() : SnapStore(defaultFileURL()) {}

SnapStore::SnapStore(std::string file) : fileURL(std::move(file)) {}

SnapStore& SnapStore::shared() { return platform().shared<SnapStore>(); }

std::string SnapStore::defaultFileURL() { return joinPath(JsonFileStore::defaultFolder(), "snaps.json"); }

std::vector<SnapBinding> SnapStore::decodeDocument(const std::string& bytes) {
    // The whole document is decoded before its version is looked at.
    const auto json = parseJson(bytes);
    SnapDocument document = fromJson<SnapDocument>(JsonValue(json));
    if (document.version != 1) throw SnapStoreError::unsupportedVersion(document.version);
    return std::move(document.bindings);
}

JsonFileStore::Content SnapStore::content() {
    return {
        [this](const std::string& bytes) { bindings = decodeDocument(bytes); },
        [this] {
            return JsonFileStore::encoder().encode(SnapDocument{1, bindings});
        },
        [this] { bindings.clear(); },
        [] { throw SnapStoreError::loadFailedRefusingToSave(); },
        [this](const JsonFileStore::SetAside& setAside) { quarantined = setAside; },
        [this](const std::optional<std::string>& bytes) { mergeOnto(bytes); },
        [this] { base_ = bindings; },
        &seen_,
    };
}

namespace {

std::vector<ThreeWayMerge::Entry> entries(const std::vector<SnapBinding>& bindings) {
    std::vector<ThreeWayMerge::Entry> out;
    out.reserve(bindings.size());
    for (const SnapBinding& b : bindings) out.push_back({b.id, ThreeWayMerge::digestOf(b)});
    return out;
}

// The bindings of one action, in order.
std::vector<SnapBinding> ofAction(const std::vector<SnapBinding>& bindings, SnapAction action) {
    std::vector<SnapBinding> out;
    std::copy_if(bindings.begin(), bindings.end(), std::back_inserter(out),
                 [&](const SnapBinding& b) { return b.action == action; });
    return out;
}

}  // namespace

void SnapStore::mergeOnto(const std::optional<std::string>& bytes) {
    std::vector<SnapBinding> theirs = bytes ? decodeDocument(*bytes) : std::vector<SnapBinding>{};
    const auto picks = ThreeWayMerge::merge(entries(base_), entries(bindings), entries(theirs));
    // An action whose shortcut was set here has this process's bindings only: both
    // sides setting one would otherwise leave two.
    const auto setHere = [&](SnapAction action) { return ofAction(bindings, action) != ofAction(base_, action); };
    const auto ourBinding = [&](const Uuid& id) {
        return std::any_of(bindings.begin(), bindings.end(), [&](const SnapBinding& b) { return b.id == id; });
    };
    std::vector<SnapBinding> merged;
    for (const auto& pick : picks) {
        const SnapBinding& binding = pick.ours ? bindings[pick.index] : theirs[pick.index];
        if (!pick.ours && !ourBinding(binding.id) && setHere(binding.action)) continue;
        merged.push_back(binding);
    }
    bindings = std::move(merged);
    base_ = std::move(theirs);
}

void SnapStore::load() {
    quarantined.reset();
    JsonFileStore::load(fileURL, loadFailed, content());
}

void SnapStore::save() { JsonFileStore::save(fileURL, loadFailed, content()); }

bool SnapStore::refresh() { return JsonFileStore::refresh(fileURL, loadFailed, content()); }

void SnapStore::setHotkey(const std::optional<Hotkey>& hotkey, SnapAction action) {
    std::erase_if(bindings, [&](const SnapBinding& b) { return b.action == action; });
    if (hotkey) bindings.push_back(SnapBinding{Uuid::random(), action, *hotkey});
}

std::optional<SnapBinding> SnapStore::binding(SnapAction action) const {
    const auto it =
        std::find_if(bindings.begin(), bindings.end(), [&](const SnapBinding& b) { return b.action == action; });
    if (it == bindings.end()) return std::nullopt;
    return *it;
}

}  // namespace kestr
