// The kests of the user, kept for the life of the process and stored as one JSON
// document, "layouts.json" in the folder "kestr" under Application Support. Callers
// change `layouts` directly and then call save(); the store sends no notifications.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Core/Layout.h"
#include "Core/LayoutStoreError.h"
#include "Core/StoredForm.h"
#include "Core/ThreeWayMerge.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

class LayoutStore {
public:
    // A store on defaultFileURL(), empty.
    LayoutStore();
    explicit LayoutStore(std::string fileURL);
    LayoutStore(const LayoutStore&) = delete;
    LayoutStore& operator=(const LayoutStore&) = delete;

    static LayoutStore& shared();
    // ".../Application Support/kestr/layouts.json"; nothing is created.
    static std::string defaultFileURL();
    // The kest store's encoder: the one every JSON store shares (JsonFileStore::encoder).
    static JsonEncoder encoder() { return JsonFileStore::encoder(); }

    const std::string fileURL;
    std::vector<Layout> layouts;
    // Set by a load that could not read (or could not move aside) the file; every
    // save refuses until a later load.
    bool loadFailed = false;
    // Where the last load (or a save) moved a file that could not be decoded, and why;
    // none when it did not.
    std::optional<JsonFileStore::SetAside> quarantined;

    // Replaces `layouts` from the file, falling back to the backup and quarantining a
    // file that cannot be decoded (see JsonFileStore). Throws the read or decoding
    // error, or LayoutStoreError::unsupportedVersion.
    void load();
    // Writes `layouts` as a version-1 document, after backing up the current file.
    // When another process changed the file since this store last read or wrote it,
    // the kests changed here since then (added, changed, removed, moved) are first put
    // on top of the file's kests, by id, and `layouts` becomes the result.
    // Throws LayoutStoreError::loadFailedRefusingToSave, a file error or an encoding error.
    void save();
    // Takes in another process's change of the file the same way, without writing.
    // False when the file is as this store last saw it; throws a read or decoding
    // error, leaving `layouts` as it was.
    bool refresh();
    // Replaces, in memory only, the first kest with the same id; none: nothing happens.
    void update(const Layout& layout);
    // Tidies every kest in memory only (the start-up's normalisation): while a kest
    // still equals its tidied form, saves write it as it was before, so an unrelated save
    // does not write the tidying for it. Forgotten at the next load. `tidyInPlace` tidies
    // one kest where it stands and answers what it was before, or none when it was tidy
    // already. A kest still as the last tidying left it is tidied again from how it is
    // stored.
    void tidy(const std::function<std::optional<StoredForm::Untidied>(Layout& kest)>& tidyInPlace);

private:
    // Writes `layouts` as a save writes them, one kest after another.
    void writeDocument(JsonWriter& w) const;
    // The entries of `layouts` as a save writes them.
    std::vector<ThreeWayMerge::Entry> entriesToWrite() const;
    // By kest id; only for kests the tidying changed.
    std::unordered_map<Uuid, StoredForm> storedForms_;
    // The kests as the file held them when this store last read or wrote it.
    std::vector<ThreeWayMerge::Entry> base_;
    std::optional<JsonFileStore::FileStamp> seen_;
    // Whether base_ was taken from `layouts` as they stood (after a load or a save), not
    // from the other process's file.
    bool baseFollowsLayouts_ = false;
    static std::vector<ThreeWayMerge::Entry> entries(const std::vector<Layout>& kests);
    void mergeOnto(const std::optional<std::string>& bytes);

    static std::vector<Layout> decodeDocument(const std::string& bytes);
    JsonFileStore::Content content();
};

}  // namespace kestr
