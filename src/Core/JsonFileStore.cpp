#include "Core/JsonFileStore.h"

#include <cerrno>
#include <cstring>
#include <exception>

#include "Core/FilePath.h"
#include "Core/JsonDecoder.h"
#include "Core/StoreRecovery.h"
#include "Platform/Platform.h"

namespace kestr {

std::string JsonFileStore::defaultFolder() {
    Files& files = platform().files();
    const auto folders = files.applicationSupportDirectories();
    const std::string support =
        folders.empty() ? joinPath(files.homeDirectory(), "Library/Application Support") : folders.front();
    return joinPath(support, "kestr");
}

void JsonFileStore::load(const std::string& path, bool& loadFailed, const Content& content) {
    Files& files = platform().files();
    const std::string backup = backupPath(path);
    loadFailed = false;
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
    // What a save cut short left behind; the next save makes its own.
    for (const auto& failure : files.removeLeftoverTemporaries(path)) platform().log().line("kestr: " + failure);
    if (!files.exists(path)) {
        // A backup without its file stays unread: a save never leaves the file
        // missing, so a user removed it and meant to start afresh.
        content.clear();
        return;
    }

    // A file too large to be a store counts as one that cannot be decoded.
    std::exception_ptr decodingError;
    try {
        content.decodeAndTake(files.read(path));
        return;
    } catch (const FileTooLargeError&) {
        decodingError = std::current_exception();
    } catch (const FileError&) {
        failUntilNextLoad(std::current_exception());
    } catch (const JsonNestingError& e) {
        decodingError = std::make_exception_ptr(JsonNestingError(fileName(path) + ": " + e.what()));
    } catch (...) {
        decodingError = std::current_exception();
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
        } catch (...) {
        }
    }

    std::string movedTo;
    if (!StoreRecovery::moveAside(path, &movedTo)) {
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
    if (content.movedAside && !movedTo.empty()) content.movedAside(movedTo);
    if (!backupTaken) {
        content.clear();
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
        } catch (...) {
        }
    }
}

void JsonFileStore::save(const std::string& path, bool loadFailed, const Content& content) {
    if (loadFailed) content.refuseToSave();
    Files& files = platform().files();
    // Checked before the backup step, which would otherwise try to keep the folder.
    if (files.isDirectory(path)) throw FileError("cannot write " + path + ": " + std::strerror(EISDIR));
    files.createDirectories(parentFolder(path));
    const auto held = files.lock(lockPath(path), lockPatience);

    if (files.exists(path)) {
        // The old backup is replaced in one step, only once the new copy is complete.
        const std::string backup = backupPath(path);
        const std::string fresh = backup + ".tmp";
        if (files.exists(fresh)) files.remove(fresh);
        try {
            files.copy(path, fresh);
            files.replace(fresh, backup);
        } catch (...) {
            try {
                if (files.exists(fresh)) files.remove(fresh);
            } catch (...) {
            }
            throw;
        }
    }

    files.writeAtomically(path, content.encode());
}

}  // namespace kestr
