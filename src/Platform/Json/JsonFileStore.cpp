#include "Platform/Json/JsonFileStore.h"

#include <exception>

#include "Platform/ContentDigest.h"
#include "Platform/FilePath.h"
#include "Platform/Json/JsonParse.h"
#include "Platform/Platform.h"
#include "Platform/Json/StoreRecovery.h"

namespace kestr {

namespace {

using FileStamp = JsonFileStore::FileStamp;

FileStamp stampOf(Files& files, const std::string& path, const std::string& bytes) {
    const auto info = files.info(path);
    if (!info) return FileStamp{};
    return FileStamp{true, info->size, info->modifiedNanoseconds, contentDigest(bytes)};
}

// The file as it is now: its bytes (none when there is none) and its stamp.
struct FileNow {
    std::optional<std::string> bytes;
    FileStamp stamp;
};

FileNow readNow(Files& files, const std::string& path) {
    FileNow now;
    if (!files.exists(path)) return now;
    now.bytes = files.read(path);
    now.stamp = stampOf(files, path, *now.bytes);
    return now;
}

// After a load or save left the file as the content: changes count from here.
void remember(const JsonFileStore::Content& content, const FileStamp& stamp) {
    if (!content.seen) return;
    *content.seen = stamp;
    if (content.synced) content.synced();
}

// Whether another process changed the file since this store last read or wrote it.
bool changedSinceSeen(const JsonFileStore::Content& content, const FileNow& now) {
    return content.mergeOnto && content.seen && *content.seen && **content.seen != now.stamp;
}

// The new backup while save() copies it, before it takes the old one's place.
std::string backupCopyPath(const std::string& path) { return JsonFileStore::backupPath(path) + ".tmp"; }

// What an error says of itself.
std::string messageOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace

std::string JsonFileStore::defaultFolder() { return defaultFolder(platform().files()); }

std::string JsonFileStore::defaultFolder(Files& files) {
    const auto folders = files.applicationSupportDirectories();
    const std::string support =
        folders.empty() ? joinPath(files.homeDirectory(), ".local/share") : folders.front();
    return joinPath(support, "kestr");
}

void JsonFileStore::load(const std::string& path, bool& loadFailed, const Content& content) {
    Files& files = platform().files();
    const std::string backup = backupPath(path);
    loadFailed = false;
    if (content.seen) content.seen->reset();
    // Leaves the files as they are and makes saves refuse until a later load.
    const auto failUntilNextLoad = [&](std::exception_ptr error) {
        content.clear();
        loadFailed = true;
        std::rethrow_exception(error);
    };
    // The menu-bar application and the command line share the file: while one of them
    // recovers or saves it, the other waits, then reads what it left.
    std::unique_ptr<FileLock> held;
    try {
        held = files.lock(lockPath(path), lockPatience);
    } catch (...) {
        failUntilNextLoad(std::current_exception());
    }
    // What a save cut short left behind; the next save makes its own. The backup's copy
    // is only made under the lock we hold, so one there now is such a leftover.
    for (const auto& failure : files.removeLeftoverTemporaries(path)) platform().log().line("kestr: " + failure);
    try {
        if (files.exists(backupCopyPath(path))) files.remove(backupCopyPath(path));
    } catch (const FileError& e) {
        platform().log().line(std::string("kestr: ") + e.what());
    }
    if (!files.exists(path)) {
        // A backup without its file stays unread: a save never leaves the file
        // missing, so a user removed it and meant to start afresh.
        content.clear();
        remember(content, FileStamp{});
        return;
    }

    // A file too large to be a store counts as one that cannot be decoded.
    std::exception_ptr decodingError;
    std::string bytes;
    try {
        bytes = files.read(path);
        content.decodeAndTake(bytes);
    } catch (const FileTooLargeError&) {
        decodingError = std::current_exception();
    } catch (const FileError&) {
        failUntilNextLoad(std::current_exception());
    } catch (const JsonNestingError& e) {
        decodingError = std::make_exception_ptr(JsonNestingError(fileName(path) + ": " + e.what()));
    } catch (...) {
        decodingError = std::current_exception();
    }
    if (!decodingError) {
        remember(content, stampOf(files, path, bytes));
        return;
    }

    // A backup that is missing or cannot be decoded means there is nothing to fall
    // back to. One that exists but cannot be read may be fine at the next load, so
    // nothing is moved or written now, and saves refuse meanwhile.
    bool backupTaken = false;
    if (files.exists(backup)) {
        try {
            content.decodeAndTake(files.read(backup));
            backupTaken = true;
        } catch (const FileTooLargeError&) {
        } catch (const FileError&) {
            failUntilNextLoad(decodingError);
        } catch (...) {}
    }

    std::string movedTo;
    const std::string reason = messageOf(decodingError);
    if (!StoreRecovery::moveAside(path, &movedTo, reason)) {
        // Writing now would destroy the file we could not move, which may hold newer
        // data than the backup. The backup's content, when there is one, stays in
        // memory so the user still sees it.
        if (backupTaken) {
            platform().log().line("kestr: keeping " + fileName(backup) + " in memory; saves refuse until " +
                                  fileName(path) + " can be moved aside");
            loadFailed = true;
            std::rethrow_exception(decodingError);
        }
        failUntilNextLoad(decodingError);
    }
    if (content.movedAside && !movedTo.empty()) content.movedAside({movedTo, reason});
    if (!backupTaken) {
        content.clear();
        remember(content, FileStamp{});
        std::rethrow_exception(decodingError);
    }
    try {
        files.createDirectories(parentFolder(path));
        files.writeAtomically(path, content.encode());
    } catch (...) {
        // A load finds nothing where the file is missing, so the backup itself takes
        // the file's place (a rename needs no room on the disk); the next save makes
        // a new backup from it.
        try {
            files.move(backup, path);
        } catch (...) {}
    }
    try {
        remember(content, readNow(files, path).stamp);
    } catch (const FileError&) {
        // Unknown: the next save writes over the file as it is.
    }
}

void JsonFileStore::save(const std::string& path, bool loadFailed, const Content& content) {
    if (loadFailed) content.refuseToSave();
    Files& files = platform().files();
    // Checked before the backup step, which would otherwise try to keep a folder, a
    // pipe or a device as the backup.
    files.checkWritable(path);
    files.createDirectories(parentFolder(path));
    const auto held = files.lock(lockPath(path), lockPatience);
    catchUpBeforeSaving(files, path, content);

    if (files.exists(path)) {
        // The old backup is replaced in one step, only once the new copy is complete.
        const std::string backup = backupPath(path);
        const std::string fresh = backupCopyPath(path);
        if (files.exists(fresh)) files.remove(fresh);
        try {
            files.copy(path, fresh);
            files.replace(fresh, backup);
        } catch (...) {
            try {
                if (files.exists(fresh)) files.remove(fresh);
            } catch (...) {}
            throw;
        }
    }

    const std::string bytes = content.encode();
    files.writeAtomically(path, bytes);
    remember(content, stampOf(files, path, bytes));
}

void JsonFileStore::catchUpBeforeSaving(Files& files, const std::string& path, const Content& content) {
    if (!content.mergeOnto || !content.seen || !*content.seen) return;
    const auto quarantine = [&](std::exception_ptr error) {
        // What cannot be read is never written over: out of the way, or no save.
        std::string movedTo;
        const std::string reason = messageOf(error);
        if (!StoreRecovery::moveAside(path, &movedTo, reason)) std::rethrow_exception(error);
        if (content.movedAside && !movedTo.empty()) content.movedAside({movedTo, reason});
        // No other process's work left to keep: this one's is written as it is.
        remember(content, FileStamp{});
    };
    FileNow now;
    try {
        now = readNow(files, path);
    } catch (const FileTooLargeError&) {
        quarantine(std::current_exception());
        return;
    }
    if (!changedSinceSeen(content, now)) return;
    try {
        content.mergeOnto(now.bytes);
    } catch (const FileError&) {
        throw;
    } catch (...) {
        quarantine(std::current_exception());
        return;
    }
    // Should the write fail, the next save finds the file as merged here.
    *content.seen = now.stamp;
}

bool JsonFileStore::refresh(const std::string& path, bool loadFailed, const Content& content) {
    if (loadFailed || !content.mergeOnto || !content.seen || !*content.seen) return false;
    Files& files = platform().files();
    const auto held = files.lock(lockPath(path), lockPatience);
    const FileNow now = readNow(files, path);
    if (!changedSinceSeen(content, now)) return false;
    // The content keeps this process's changes that are not saved yet, so it is not
    // what the file holds: no sync.
    content.mergeOnto(now.bytes);
    *content.seen = now.stamp;
    return true;
}

}  // namespace kestr
