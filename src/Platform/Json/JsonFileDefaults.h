// User defaults kept in one JSON file ("settings.json" under the user's configuration
// folder), as a Linux program keeps its settings: every change is written at once, so
// a setting survives the program being killed. The file is one object of property-list
// values (PlistJson) and is kept like every stored file of kestr (JsonFileStore): a
// backup before each write, atomic writes, and a damaged file, or one whose values are
// of no property-list kind, moved aside with one line in the log while the backup, or
// else nothing, is used. Named suites belong to other programs and have no file here.
#pragma once

#include <string>

#include "Platform/Defaults.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

class JsonFileDefaults : public Defaults {
public:
    // The settings file of the configuration folder `configHome`.
    static std::string settingsPath(const std::string& configHome);

    explicit JsonFileDefaults(std::string path) : domain_(std::move(path)) {}

    DefaultsDomain& standard() override { return domain_; }
    DefaultsDomain* suite(const std::string&) override { return nullptr; }

private:
    class Domain : public DefaultsDomain {
    public:
        explicit Domain(std::string path) : path_(std::move(path)) {}
        std::optional<PlistValue> object(const std::string& key) override;
        void set(const std::string& key, const PlistValue& value) override;
        void remove(const std::string& key) override;

    private:
        // Read at first use (the platform's files and log are reached then) and again
        // before each write, so a change another process made meanwhile is kept.
        void load();
        // How the store reads, writes and empties these values; `first` for the read at
        // first use.
        JsonFileStore::Content content(bool first);
        // Writes the values when `change` altered them; a failure is logged and the
        // file stays as it was.
        void change(const std::string& key, const std::optional<PlistValue>& value);

        std::string path_;
        PlistDict values_;
        bool loaded_ = false;
        bool loadFailed_ = false;
    };

    Domain domain_;
};

}  // namespace kestr
