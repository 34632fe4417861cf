#include "Platform/Json/JsonFileDefaults.h"

#include "Platform/FilePath.h"
#include "Platform/Json/JsonFileStore.h"
#include "Platform/Json/PlistJson.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

const char* const settingsName = "settings.json";

}  // namespace

std::string JsonFileDefaults::settingsPath(const std::string& configHome) {
    return joinPath(joinPath(configHome, "kestr"), settingsName);
}

std::optional<PlistValue> JsonFileDefaults::Domain::object(const std::string& key) {
    if (!loaded_) load();
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void JsonFileDefaults::Domain::set(const std::string& key, const PlistValue& value) { change(key, value); }

void JsonFileDefaults::Domain::remove(const std::string& key) { change(key, std::nullopt); }

JsonFileStore::Content JsonFileDefaults::Domain::content(bool first) {
    return {
        [this](const std::string& bytes) { values_ = plistDictFromJson(parseJson(bytes), settingsName); },
        // Also what a recovery from the backup writes back.
        [this] { return JsonFileStore::encoder().encode(PlistValue(values_)); },
        // Once running, a file gone bad meanwhile leaves the values in memory (unless
        // its backup stands in); the next write puts them back.
        [this, first] {
            if (first) values_.clear();
        },
        [] { throw FileError("the settings file could not be read, so it is not written over"); },
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
}

void JsonFileDefaults::Domain::load() {
    const bool first = !loaded_;
    loaded_ = true;
    try {
        JsonFileStore::load(path_, loadFailed_, content(first));
    } catch (const FileError& e) {
        // The file stays as it is and is not written over until it can be read.
        platform().log().line(std::string("kestr: cannot read ") + settingsName +
                              "; using the default settings: " + e.what());
    } catch (const std::exception&) {
        // Moved aside, which the store logged; the defaults (or the backup) stand.
    }
}

void JsonFileDefaults::Domain::change(const std::string& key, const std::optional<PlistValue>& value) {
    load();
    const auto it = values_.find(key);
    const std::optional<PlistValue> before = it == values_.end() ? std::nullopt : std::optional<PlistValue>(it->second);
    if (before == value) return;
    if (value) {
        values_[key] = *value;
    } else {
        values_.erase(key);
    }
    try {
        JsonFileStore::save(path_, loadFailed_, content(false));
    } catch (const JsonEncodeError& e) {
        // It would fail every later write too.
        if (before) {
            values_[key] = *before;
        } else {
            values_.erase(key);
        }
        platform().log().line(std::string("kestr: cannot save ") + settingsName + ": " + e.what());
    } catch (const std::exception& e) {
        platform().log().line(std::string("kestr: cannot save ") + settingsName + ": " + e.what());
    }
}

}  // namespace kestr
