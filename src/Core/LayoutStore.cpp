#include "Core/LayoutStore.h"

#include <exception>
#include <unordered_set>

#include "Core/ModelJson.h"
#include "Platform/FilePath.h"
#include "Platform/Json/JsonListParse.h"
#include "Platform/Platform.h"

namespace kestr {

LayoutStore::LayoutStore() : LayoutStore(defaultFileURL()) {}

LayoutStore::LayoutStore(std::string file) : fileURL(std::move(file)) {}

LayoutStore& LayoutStore::shared() { return platform().shared<LayoutStore>(); }

std::string LayoutStore::defaultFileURL() { return joinPath(JsonFileStore::defaultFolder(), "layouts.json"); }

std::vector<Layout> LayoutStore::decodeDocument(const std::string& bytes) {
    // Each kest is decoded as soon as it is parsed and dropped from the parsed document,
    // which therefore never holds more than one kest: whole, it takes several times the
    // file's size, and the memory would stay with the process. Failures come as a
    // whole-document decode would give them: malformed JSON first, then the first kest
    // that cannot be decoded, then the rest of the document.
    const nlohmann::json placeholder = nlohmann::json::object();
    const JsonValue root(placeholder);
    const JsonValue list = root.member(placeholder, "layouts");
    std::vector<Layout> layouts;
    std::exception_ptr failure;
    const JsonListParse parse{
        "layouts",
        [&] {
            layouts.clear();
            failure = nullptr;
        },
        [&](nlohmann::json& element) {
            if (failure) return;
            try {
                layouts.push_back(fromJson<Layout>(list.element(element, layouts.size())));
            } catch (...) {
                failure = std::current_exception();
            }
        },
    };
    const nlohmann::json json = parse.parse(bytes);
    if (failure) std::rethrow_exception(failure);
    // The whole document is decoded before its version is looked at, so a malformed
    // document of another version fails with the decoding error.
    LayoutDocument document = fromJson<LayoutDocument>(JsonValue(json));
    if (document.version != 1) throw LayoutStoreError::unsupportedVersion(document.version);
    return layouts;  // the document's own list is left empty
}

JsonFileStore::Content LayoutStore::content() {
    return {
        [this](const std::string& bytes) { layouts = decodeDocument(bytes); },
        [this] {
            JsonWriter w = encoder().writer();
            writeDocument(w);
            return w.take();
        },
        [this] { layouts.clear(); },
        [] { throw LayoutStoreError::loadFailedRefusingToSave(); },
        [this](const JsonFileStore::SetAside& setAside) { quarantined = setAside; },
        [this](const std::optional<std::string>& bytes) { mergeOnto(bytes); },
        [this] {
            base_ = entriesToWrite();
            baseFollowsLayouts_ = true;
        },
        &seen_,
    };
}

std::vector<ThreeWayMerge::Entry> LayoutStore::entries(const std::vector<Layout>& kests) {
    std::vector<ThreeWayMerge::Entry> out;
    out.reserve(kests.size());
    for (const Layout& kest : kests) out.push_back({kest.id, ThreeWayMerge::digestOf(kest)});
    return out;
}

void LayoutStore::mergeOnto(const std::optional<std::string>& bytes) {
    std::vector<Layout> theirs = bytes ? decodeDocument(*bytes) : std::vector<Layout>{};
    std::vector<ThreeWayMerge::Entry> theirEntries = entries(theirs);
    // Ours as a save writes them: a kest only tidied in memory counts as unchanged.
    const auto picks = ThreeWayMerge::merge(base_, entriesToWrite(), theirEntries);
    std::vector<Layout> merged;
    merged.reserve(picks.size());
    std::unordered_set<Uuid> kept;
    for (const auto& pick : picks) {
        if (pick.ours) kept.insert(layouts[pick.index].id);
        merged.push_back(pick.ours ? std::move(layouts[pick.index]) : std::move(theirs[pick.index]));
    }
    // A tidied form stays only for a kest that is still this process's own.
    std::erase_if(storedForms_, [&](const auto& form) { return !kept.contains(form.first); });
    layouts = std::move(merged);
    base_ = std::move(theirEntries);
    baseFollowsLayouts_ = false;
}

void LayoutStore::load() {
    quarantined.reset();
    storedForms_.clear();
    JsonFileStore::load(fileURL, loadFailed, content());
}

void LayoutStore::tidy(const std::function<std::optional<StoredForm::Untidied>(Layout& kest)>& tidyInPlace) {
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        Layout& kest = layouts[i];
        // A kest still as an earlier tidying left it is tidied again from its stored form,
        // so saves keep writing that one.
        std::optional<std::uint64_t> storedDigest;
        if (const auto form = storedForms_.find(kest.id); form != storedForms_.end()) {
            if (std::optional<Layout> stored = form->second.storedFormFor(kest)) {
                storedDigest = form->second.storedDigest();
                kest = std::move(*stored);
                storedForms_.erase(form);
            }
        }
        // As the file holds it, when the last load read this kest there.
        const bool asRead =
            baseFollowsLayouts_ && i < base_.size() && base_[i].id == kest.id && !storedForms_.contains(kest.id);
        const std::uint64_t digest =
            storedDigest ? *storedDigest : asRead ? base_[i].digest : ThreeWayMerge::digestOf(kest);
        std::optional<StoredForm::Untidied> before = tidyInPlace(kest);
        // A kest already tidy keeps the form it had before an earlier tidying.
        if (!before) continue;
        storedForms_.insert_or_assign(kest.id, StoredForm(std::move(*before), kest, digest));
    }
}

void LayoutStore::writeDocument(JsonWriter& w) const {
    w.beginObject();
    w.key("layouts");
    w.beginArray();
    for (const Layout& kest : layouts) {
        const auto form = storedForms_.find(kest.id);
        const auto stored = form != storedForms_.end() ? form->second.storedFormFor(kest) : std::nullopt;
        writeJson(w, stored ? *stored : kest);
    }
    w.endArray();
    w.key("version");
    w.value(std::int64_t{1});
    w.endObject();
}

std::vector<ThreeWayMerge::Entry> LayoutStore::entriesToWrite() const {
    std::vector<ThreeWayMerge::Entry> out;
    out.reserve(layouts.size());
    for (const Layout& kest : layouts) {
        const auto form = storedForms_.find(kest.id);
        const bool stored = form != storedForms_.end() && form->second.storedFormFor(kest);
        out.push_back({kest.id, stored ? form->second.storedDigest() : ThreeWayMerge::digestOf(kest)});
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
