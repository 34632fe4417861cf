// The file system as kestr needs it: the user's folders, whole-file reads, atomic
// writes, copy, move and remove. Every failure throws FileError.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Error.h"

namespace kestr {

class FileError : public Error {
public:
    using Error::Error;
};

// A file larger than Files::maxReadSize, or a write larger than Files::maxWriteSize. No
// file kestr reads is legitimately that large (a thousand kests of ten windows each take
// about 20 MB), so callers treat such a file as one they cannot decode; a write that
// large is refused, since it could not be read back.
class FileTooLargeError : public FileError {
public:
    using FileError::FileError;
};

// A lock that another process held for longer than the caller would wait.
class FileLockedError : public FileError {
public:
    using FileError::FileError;
};

// `sync` forces a file's content to the disk, `syncFolder` a folder's entries.
enum class FileOperation { read, atomicWrite, copy, move, remove, createDirectory, sync, syncFolder, lock };

// An advisory lock on a file, held until it is destroyed or the process ends (so a
// process that crashes never leaves it held).
class FileLock {
public:
    virtual ~FileLock() = default;
};

// What the file system tells of a file without reading it.
struct FileInfo {
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;  // since the epoch
};

class Files {
public:
    virtual ~Files() = default;

    // Reads stop at maxReadSize, as a guard against endless files; writes stop well
    // below it, so whatever kestr writes it can read back, even reformatted by hand.
    static constexpr std::int64_t maxReadSize = 512 * 1024 * 1024;
    static constexpr std::int64_t maxWriteSize = 256 * 1024 * 1024;

    // The user's application-data folders, first one preferred; may be empty.
    virtual std::vector<std::string> applicationSupportDirectories() = 0;
    virtual std::string homeDirectory() = 0;
    virtual std::string desktopDirectory() = 0;

    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    // Size and modification time (links followed); none when there is no such file.
    virtual std::optional<FileInfo> info(const std::string& path) = 0;
    // The whole content of a regular file (links followed). Anything else (a folder, a
    // named pipe, a device) fails at once with FileError; a file larger than
    // maxReadSize fails with FileTooLargeError before it is read.
    virtual std::string read(const std::string& path) = 0;
    // Writes to a temporary file in the same folder, forces it to the disk, renames it
    // over the destination and forces the folder to the disk: a reader sees the old
    // content or the new, never a mixture, and so does one after a power loss. A link
    // is followed and its target replaced; the file keeps its permissions. Refuses a
    // path that names anything but a regular file (see checkWritable) and, with
    // FileTooLargeError, more than maxWriteSize bytes.
    virtual void writeAtomically(const std::string& path, const std::string& bytes) = 0;
    // Throws FileError "cannot write PATH: not a regular file" (or "Is a directory")
    // when the path, links followed, names something writeAtomically would not replace;
    // a missing file is fine.
    virtual void checkWritable(const std::string& path) = 0;
    // The temporary files that writeAtomically(path, ...) left beside the file it writes
    // (the one a link at `path` names) when it was cut short: those whose writing process
    // has ended. Another process's write in progress is never one, whenever it began.
    // None when the folder cannot be listed.
    virtual std::vector<std::string> leftoverTemporaries(const std::string& path) = 0;
    // Removes them; gives the error of each one that could not be removed.
    std::vector<std::string> removeLeftoverTemporaries(const std::string& path) {
        std::vector<std::string> failures;
        for (const auto& leftover : leftoverTemporaries(path)) {
            try {
                remove(leftover);
            } catch (const FileError& e) {
                failures.emplace_back(e.what());
            }
        }
        return failures;
    }
    // Copies one regular file (links followed) and forces the copy to the disk; fails
    // when the destination exists or the source is anything else, a folder included.
    virtual void copy(const std::string& from, const std::string& to) = 0;
    // Fails when the destination exists.
    virtual void move(const std::string& from, const std::string& to) = 0;
    // Renames, replacing the destination in one step, and forces the folder to the disk.
    virtual void replace(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // Creates the folder with any missing parents; an existing folder is fine.
    virtual void createDirectories(const std::string& path) = 0;
    virtual std::vector<std::string> list(const std::string& folder) = 0;
    // Takes the exclusive advisory lock of the file (created when missing), waiting up
    // to `patience` seconds while another process holds it, then failing with
    // FileLockedError (any other failure: FileError, a link or a file that is not a
    // regular one included). None when the file cannot be created (a missing or
    // read-only folder): there is then nothing to write that the lock would guard.
    virtual std::unique_ptr<FileLock> lock(const std::string& path, double patience) = 0;
};

}  // namespace kestr
