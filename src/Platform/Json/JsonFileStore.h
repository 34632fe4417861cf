// The load and save steps every JSON store of kestr shares ("layouts.json",
// "snaps.json"): a backup before every write, atomic writes, a fall-back to the backup
// when the file cannot be decoded, and quarantine of such a file. The store keeps its
// own content and its `loadFailed` flag and describes the content with a Content.
//
// Usage (a store with a list `items`, a flag `loadFailed` and its own error type):
//
//     JsonFileStore::Content MyStore::content() {
//         return {
//             // Decode the whole document; only when that succeeds replace `items`.
//             [this](const std::string& bytes) { items = decodeDocument(bytes); },
//             // A current-version document of `items`, written with the shared encoder.
//             [this] { return JsonFileStore::encoder().encode(MyDocument{1, items}); },
//             [this] { items.clear(); },
//             [] { throw MyStoreError::loadFailedRefusingToSave(); },
//         };
//     }
//     void MyStore::load() { JsonFileStore::load(fileURL, loadFailed, content()); }
//     void MyStore::save() { JsonFileStore::save(fileURL, loadFailed, content()); }
//
// Both hold the store's lock file (lockPath) from start to end, so two processes never
// recover or save the same file at once; a lock held by another process for longer
// than lockPatience fails load() as an unreadable file would, and fails save().
//
// load(): first removes the temporary files that saves cut short by an earlier process
// left (Files::leftoverTemporaries, and the backup's copy path + ".bak.tmp"). No file
// gives empty content without error, whatever the backup (path + ".bak") holds. A file that cannot be read empties the content, sets loadFailed and
// rethrows the read error (the file stays). A file that cannot be decoded is
// quarantined (StoreRecovery) and the backup is taken instead and written back as the
// new file (when that write fails, the backup is renamed to the file); with the backup missing or undecodable the content is emptied and the
// decoding error is rethrown. When the backup exists but cannot be read, or the bad
// file cannot be moved aside, nothing is moved or written, loadFailed is set (so saves
// refuse) and the decoding error is rethrown; the content is then the backup's when
// it decoded (the move failed), else empty.
//
// A store that merges (Content::mergeOnto) keeps the stamp of the file as it last read
// or wrote it. Should save() find the file changed since then (by another process: its
// size, modification time or content differ), what this process changed since is put
// on top of what the file now holds before anything is written, so the other
// process's work is kept; refresh() does the same without writing, for a store told
// that the file changed. A changed file that cannot be decoded is quarantined by
// save() (never written over; nothing is saved when it cannot be moved) and left as
// it is by refresh(). A store that never read or wrote the file writes over it.
//
// save(): refuses (content.refuseToSave) while loadFailed, and refuses a path that
// names anything but a regular file (links followed); creates the folder; catches up
// with another process's change (above); copies the current file to path + ".bak"
// (through a temporary copy, forced to the disk and renamed over the old backup, so a
// backup always exists), encodes, and writes atomically. Any failure is thrown, and
// the file on disk is then the old one or the new one, never a mixture.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Platform/Files.h"
#include "Platform/Json/JsonEncoder.h"

namespace kestr {

class JsonFileStore {
public:
    JsonFileStore() = delete;

    // A file as one process saw it; `exists` false: there was none.
    struct FileStamp {
        bool exists = false;
        std::int64_t size = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::uint64_t hash = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    // A file that could not be decoded, moved out of the way: where it is now, and the
    // decoder's own words on what was wrong with it.
    struct SetAside {
        std::string path;
        std::string reason;
    };

    struct Content {
        // Decodes a whole document from the bytes and, only when that succeeds, makes it
        // the content. Throws on any failure (malformed, strict decoding, version).
        std::function<void(const std::string& bytes)> decodeAndTake;
        // The bytes of a current-version document of the content; throws on failure.
        std::function<std::string()> encode;
        // Makes the content empty.
        std::function<void()> clear;
        // Throws the store's own error for a save while loadFailed is set.
        std::function<void()> refuseToSave;
        // Told where a file that could not be decoded was moved aside to, and why.
        std::function<void(const SetAside&)> movedAside;

        // Merging (none: saves write over the file). Decodes the document another
        // process left (none: the file is gone) as decodeAndTake does, changing nothing
        // when that fails; then makes the content that document with what this process
        // changed since the last sync on top.
        std::function<void(const std::optional<std::string>& bytes)> mergeOnto;
        // The file now holds the content: changes are counted from here.
        std::function<void()> synced;
        // The store's record of the file as it last read or wrote it; none before that.
        std::optional<FileStamp>* seen = nullptr;
    };

    // The writer of every stored JSON file: sorted keys, pretty-printed, slashes as they
    // are, UTF-8; a NaN or infinite number fails. A fresh one on each call.
    static JsonEncoder encoder() { return JsonEncoder{}; }

    // The folder "kestr" under the user's data folder (the first the system reports;
    // home + ".local/share" when it reports none).
    // Nothing is created.
    static std::string defaultFolder();
    // The same, asking the given files rather than the installed platform's.
    static std::string defaultFolder(Files& files);

    static void load(const std::string& path, bool& loadFailed, const Content& content);
    static void save(const std::string& path, bool loadFailed, const Content& content);
    // Takes in another process's change of the file, keeping this process's own
    // changes (see above). False when the file is as the store last saw it, or the
    // store has not read it; throws a read or decoding error, changing nothing.
    static bool refresh(const std::string& path, bool loadFailed, const Content& content);

    // Where save() keeps the previous file: path + ".bak".
    static std::string backupPath(const std::string& path) { return path + ".bak"; }
    // The file whose advisory lock load() and save() hold: path + ".lock". It stays
    // in place; removing it while another process waits for it would let two in.
    static std::string lockPath(const std::string& path) { return path + ".lock"; }
    // How long load() and save() wait for another process to release the lock.
    static constexpr double lockPatience = 5;

private:
    // Under the lock, before a save: merges another process's change into the content.
    static void catchUpBeforeSaving(Files& files, const std::string& path, const Content& content);
};

}  // namespace kestr
