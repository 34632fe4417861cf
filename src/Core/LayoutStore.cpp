#include "Core/LayoutStore.h"

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
    };
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

void LayoutStore::update(const Layout& layout) {
    for (auto& existing : layouts) {
        if (existing.id == layout.id) {
            existing = layout;
            return;
        }
    }
}

}  // namespace kestr
