#include "Snap/SnapStore.h"

#include <algorithm>

#include "Core/FilePath.h"
#include "Platform/Platform.h"
#include "Snap/SnapJson.h"

namespace kestr {

SnapStore::SnapStore() : SnapStore(defaultFileURL()) {}

SnapStore::SnapStore(std::string fileURL) : fileURL(std::move(fileURL)) {}

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
        [this] { return JsonFileStore::encoder().encode(SnapDocument{1, bindings}); },
        [this] { bindings.clear(); },
        [] { throw SnapStoreError::loadFailedRefusingToSave(); },
        [this](const std::string& movedTo) { quarantinedPath = movedTo; },
    };
}

void SnapStore::load() {
    quarantinedPath.reset();
    JsonFileStore::load(fileURL, loadFailed, content());
}

void SnapStore::save() { JsonFileStore::save(fileURL, loadFailed, content()); }

void SnapStore::setHotkey(const std::optional<Hotkey>& hotkey, SnapAction action) {
    std::erase_if(bindings, [&](const SnapBinding& b) { return b.action == action; });
    if (hotkey) bindings.push_back(SnapBinding{Uuid::random(), action, *hotkey});
}

std::optional<SnapBinding> SnapStore::binding(SnapAction action) const {
    const auto it = std::find_if(bindings.begin(), bindings.end(),
                                 [&](const SnapBinding& b) { return b.action == action; });
    if (it == bindings.end()) return std::nullopt;
    return *it;
}

}  // namespace kestr
