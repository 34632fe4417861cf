#include "Core/LayoutStore.h"

#include <unordered_set>

#include "Core/FilePath.h"
#include "Core/ModelJson.h"
#include "Platform/Platform.h"

namespace kestr {

LayoutStore::LayoutStore() : LayoutStore(defaultFileURL()) {}

LayoutStore::LayoutStore(std::string fileURL) : fileURL(std::move(fileURL)) {}

LayoutStore& LayoutStore::shared() { return platform().shared<LayoutStore>(); }

std::string LayoutStore::defaultFileURL() { return joinPath(JsonFileStore::defaultFolder(), "layouts.json"); }

std::vector<Layout> LayoutStore::decodeDocument(const std::string& bytes) {
    // The whole document is decoded before its version is looked at, so a malformed
    // document of another version fails with the decoding error.
    const auto json = parseJson(bytes);
    LayoutDocument document = fromJson<LayoutDocument>(JsonValue(json));
    if (document.version != 1) throw LayoutStoreError::unsupportedVersion(document.version);
    return std::move(document.layouts);
}

JsonFileStore::Content LayoutStore::content() {
    return {
        [this](const std::string& bytes) { layouts = decodeDocument(bytes); },
        [this] {
            JsonWriter w = encoder().writer();
            writeLayoutDocument(w, 1, layoutsToWrite());
            return w.take();
        },
        [this] { layouts.clear(); },
        [] { throw LayoutStoreError::loadFailedRefusingToSave(); },
        [this](const std::string& movedTo) { quarantinedPath = movedTo; },
        [this](const std::optional<std::string>& bytes) { mergeOnto(bytes); },
        [this] { base_ = entries(layoutsToWrite()); },
        &seen_,
    };
}

std::vector<ThreeWayMerge::Entry> LayoutStore::entries(const std::vector<Layout>& kests) {
    const JsonEncoder compact{false};
    std::vector<ThreeWayMerge::Entry> out;
    out.reserve(kests.size());
    for (const Layout& kest : kests) out.push_back({kest.id, ThreeWayMerge::digestOf(compact, kest)});
    return out;
}

void LayoutStore::mergeOnto(const std::optional<std::string>& bytes) {
    std::vector<Layout> theirs = bytes ? decodeDocument(*bytes) : std::vector<Layout>{};
    std::vector<ThreeWayMerge::Entry> theirEntries = entries(theirs);
    // Ours as a save writes them: a kest only tidied in memory counts as unchanged.
    const auto picks = ThreeWayMerge::merge(base_, entries(layoutsToWrite()), theirEntries);
    std::vector<Layout> merged;
    merged.reserve(picks.size());
    std::unordered_set<Uuid> kept;
    for (const auto& pick : picks) {
        if (pick.ours) kept.insert(layouts[pick.index].id);
        merged.push_back(pick.ours ? std::move(layouts[pick.index]) : std::move(theirs[pick.index]));
    }
    // A tidied form stays only for a kest that is still this process's own.
    std::erase_if(storedForms_, [&](const StoredForm& form) { return !kept.contains(form.stored.id); });
    layouts = std::move(merged);
    base_ = std::move(theirEntries);
}

void LayoutStore::load() {
    quarantinedPath.reset();
    storedForms_.clear();
    JsonFileStore::load(fileURL, loadFailed, content());
}

void LayoutStore::rememberStoredForm(const Layout& stored, const Layout& normalised) {
    std::erase_if(storedForms_, [&](const StoredForm& form) { return form.stored.id == stored.id; });
    storedForms_.push_back({normalised, stored});
}

std::vector<Layout> LayoutStore::layoutsToWrite() const {
    std::vector<Layout> out = layouts;
    for (Layout& layout : out) {
        for (const StoredForm& form : storedForms_) {
            if (form.normalised.id == layout.id && form.normalised == layout) layout = form.stored;
        }
    }
    return out;
}

void LayoutStore::save() { JsonFileStore::save(fileURL, loadFailed, content()); }

bool LayoutStore::refresh() { return JsonFileStore::refresh(fileURL, loadFailed, content()); }

void LayoutStore::update(const Layout& layout) {
    for (auto& existing : layouts) {
        if (existing.id == layout.id) {
            existing = layout;
            return;
        }
    }
}

}  // namespace kestr
