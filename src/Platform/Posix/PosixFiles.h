// Files on the real file system, rooted at given user folders.
#pragma once

#include <string>

#include "Platform/Files.h"

namespace kestr {

struct UserFolders {
    std::string home;
    std::string applicationSupport;  // empty: the system reports none
    std::string desktop;
};

class PosixFiles : public Files {
public:
    explicit PosixFiles(UserFolders folders) : folders_(std::move(folders)) {}

    std::vector<std::string> applicationSupportDirectories() override;
    std::string homeDirectory() override { return folders_.home; }
    std::string desktopDirectory() override { return folders_.desktop; }

    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    std::optional<FileInfo> info(const std::string& path) override;
    std::string read(const std::string& path) override;
    void writeAtomically(const std::string& path, const std::string& bytes) override;
    void checkWritable(const std::string& path) override;
    std::vector<std::string> leftoverTemporaries(const std::string& path) override;
    void copy(const std::string& from, const std::string& to) override;
    void move(const std::string& from, const std::string& to) override;
    void replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    void createDirectories(const std::string& path) override;
    std::vector<std::string> list(const std::string& folder) override;
    std::unique_ptr<FileLock> lock(const std::string& path, double patience) override;

    const UserFolders& folders() const { return folders_; }
    // The path with its links, "." and ".." resolved. Links are followed even when what
    // they name is not there yet; what is not there is kept by name under the resolved
    // folder it would be in. A path through a loop of links is kept as given.
    static std::string resolved(const std::string& path);

protected:
    // Force a file's content, or a folder's entries, to the disk; throw FileError.
    virtual void syncFile(const std::string& path);
    virtual void syncFolder(const std::string& folder);

private:
    UserFolders folders_;
};

}  // namespace kestr
