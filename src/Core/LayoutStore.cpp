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
            writeLayoutDocument(w, 1, layouts);
            return w.take();
        },
        [this] { layouts.clear(); },
        [] { throw LayoutStoreError::loadFailedRefusingToSave(); },
    };
}

void LayoutStore::load() { JsonFileStore::load(fileURL, loadFailed, content()); }

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
