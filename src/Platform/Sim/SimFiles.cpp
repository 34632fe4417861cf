#include "Platform/Sim/SimFiles.h"

namespace kestr {

void SimFiles::failOperation(FileOperation operation, std::string pathPart, int count) {
    faults_.push_back({operation, std::move(pathPart), count});
}

void SimFiles::check(FileOperation operation, const std::string& name, const std::string& path,
                     const std::string& other) {
    journal_.push_back(name + " " + path + (other.empty() ? "" : " -> " + other));
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->operation != operation) continue;
        const bool matches = it->pathPart.empty() || path.find(it->pathPart) != std::string::npos ||
                             (!other.empty() && other.find(it->pathPart) != std::string::npos);
        if (!matches) continue;
        if (it->remaining > 0 && --it->remaining == 0) faults_.erase(it);
        throw FileError("cannot " + name + " " + path + ": injected failure");
    }
}

std::string SimFiles::read(const std::string& path) {
    check(FileOperation::read, "read", path);
    return PosixFiles::read(path);
}

void SimFiles::writeAtomically(const std::string& path, const std::string& bytes) {
    check(FileOperation::atomicWrite, "write", path);
    PosixFiles::writeAtomically(path, bytes);
    changed(path);
}

void SimFiles::copy(const std::string& from, const std::string& to) {
    check(FileOperation::copy, "copy", from, to);
    PosixFiles::copy(from, to);
    changed(to);
}

void SimFiles::move(const std::string& from, const std::string& to) {
    check(FileOperation::move, "move", from, to);
    PosixFiles::move(from, to);
    changed(from);
    changed(to);
}

void SimFiles::replace(const std::string& from, const std::string& to) {
    check(FileOperation::move, "replace", from, to);
    PosixFiles::replace(from, to);
    changed(from);
    changed(to);
}

void SimFiles::remove(const std::string& path) {
    check(FileOperation::remove, "remove", path);
    PosixFiles::remove(path);
    changed(path);
}

void SimFiles::createDirectories(const std::string& path) {
    check(FileOperation::createDirectory, "create folder", path);
    PosixFiles::createDirectories(path);
}

namespace {

class JournaledLock : public FileLock {
public:
    JournaledLock(std::unique_ptr<FileLock> held, std::vector<std::string>& journal, std::string path)
        : held_(std::move(held)), journal_(journal), path_(std::move(path)) {}
    ~JournaledLock() override {
        held_.reset();
        journal_.push_back("unlock " + path_);
    }

private:
    std::unique_ptr<FileLock> held_;
    std::vector<std::string>& journal_;
    std::string path_;
};

}  // namespace

std::unique_ptr<FileLock> SimFiles::lock(const std::string& path, double patience) {
    check(FileOperation::lock, "lock", path);
    auto held = PosixFiles::lock(path, patience);
    if (!held) return nullptr;
    return std::make_unique<JournaledLock>(std::move(held), journal_, path);
}

void SimFiles::syncFile(const std::string& path) {
    check(FileOperation::sync, "sync", path);
    PosixFiles::syncFile(path);
}

void SimFiles::syncFolder(const std::string& folder) {
    check(FileOperation::syncFolder, "sync folder", folder);
    PosixFiles::syncFolder(folder);
}

}  // namespace kestr
