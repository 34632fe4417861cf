// Files of the simulated desktop: a real folder tree standing for the user's home,
// with a failure that a test can inject on any operation.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Posix/PosixFiles.h"

namespace kestr {

class SimFiles : public PosixFiles {
public:
    explicit SimFiles(UserFolders folders) : PosixFiles(std::move(folders)) {}

    // Makes the next `count` calls of `operation` whose path contains `pathPart` fail
    // (count < 0: every call, until cleared). For copy, move and replace the source
    // and the destination are both matched.
    void failOperation(FileOperation operation, std::string pathPart = "", int count = 1);
    void clearFailures() { faults_.clear(); }
    // Every operation with its path, in order ("read /x/y", "move /a -> /b", ...).
    const std::vector<std::string>& journal() const { return journal_; }
    // Told of each path a successful write, copy, move or remove changed.
    std::function<void(const std::string& path)> onChange;

    std::string read(const std::string& path) override;
    void writeAtomically(const std::string& path, const std::string& bytes) override;
    void copy(const std::string& from, const std::string& to) override;
    void move(const std::string& from, const std::string& to) override;
    void replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    void createDirectories(const std::string& path) override;
    // Journals "lock" and, when the lock is released, "unlock".
    std::unique_ptr<FileLock> lock(const std::string& path, double patience) override;

protected:
    void syncFile(const std::string& path) override;
    void syncFolder(const std::string& folder) override;

private:
    struct Fault {
        FileOperation operation;
        std::string pathPart;
        int remaining;
    };
    void check(FileOperation operation, const std::string& name, const std::string& path,
               const std::string& other = "");
    void changed(const std::string& path) const {
        if (onChange) onChange(path);
    }
    std::vector<Fault> faults_;
    std::vector<std::string> journal_;
};

}  // namespace kestr
