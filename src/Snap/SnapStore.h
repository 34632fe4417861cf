// The user's snap bindings for the life of the process, kept in "snaps.json" beside
// the kests, with the kest store's backup, quarantine and atomic-write rules.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/Hotkey.h"
#include "Core/SnapAction.h"
#include "Core/SnapBinding.h"
#include "Platform/Json/JsonFileStore.h"
#include "Snap/SnapStoreError.h"

namespace kestr {

class SnapStore {
public:
    // On defaultFileURL(), empty.
    SnapStore();
    explicit SnapStore(std::string fileURL);
    SnapStore(const SnapStore&) = delete;
    SnapStore& operator=(const SnapStore&) = delete;

    static SnapStore& shared();
    // "kestr/snaps.json" in the user's Application Support folder.
    static std::string defaultFileURL();

    // Replaces the bindings from the file, falling back to the backup and quarantining
    // a file that cannot be decoded (see JsonFileStore). Throws the read or decoding
    // error, or SnapStoreError::unsupportedVersion.
    void load();
    // Writes the bindings as a version-1 document, after backing up the current file.
    // When another process changed the file since this store last read or wrote it,
    // the bindings changed here since then are first put on top of the file's, by id,
    // and an action whose bindings changed here keeps only this process's.
    // Throws SnapStoreError::loadFailedRefusingToSave, a file error or an encoding error.
    void save();
    // Takes in another process's change of the file the same way, without writing.
    // False when the file is as this store last saw it; throws a read or decoding
    // error, leaving the bindings as they were.
    bool refresh();

    // Removes every binding of the action, then appends a new one for the hot key when
    // there is one. Does not save.
    void setHotkey(const std::optional<Hotkey>& hotkey, SnapAction action);
    // The action's first binding in store order.
    std::optional<SnapBinding> binding(SnapAction action) const;

    const std::string fileURL;
    std::vector<SnapBinding> bindings;
    // Set by a load that could not read (or could not move aside) the file; every
    // save refuses until a later load.
    bool loadFailed = false;
    // Where the last load (or a save) moved a file that could not be decoded, and why;
    // none when it did not.
    std::optional<JsonFileStore::SetAside> quarantined;

private:
    static std::vector<SnapBinding> decodeDocument(const std::string& bytes);
    void mergeOnto(const std::optional<std::string>& bytes);
    // The bindings as the file held them when this store last read or wrote it.
    std::vector<SnapBinding> base_;
    std::optional<JsonFileStore::FileStamp> seen_;
    JsonFileStore::Content content();
};

}  // namespace kestr
