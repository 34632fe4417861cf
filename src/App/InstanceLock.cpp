#include "App/InstanceLock.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "Platform/FilePath.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

namespace {

// The data folder itself, however its path is written: links followed, "." and ".."
// taken out (as far as the folder exists; the rest as written, taken out the same way).
std::string resolved(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::weakly_canonical(folder, error);
    return error ? folder : path.string();
}

// "app-" and 16 hexadecimal digits that stand for the data folder, ".lock". FNV-1a:
// fixed, so kestr builds of different versions still find each other's lock.
std::string lockName(const std::string& dataFolder) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char c : resolved(dataFolder)) hash = (hash ^ c) * 0x100000001b3ull;
    char name[32];
    std::snprintf(name, sizeof name, "app-%016llx.lock", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

std::unique_ptr<FileLock> InstanceLock::acquire(PosixFiles& files, const std::string& runtimeFolder) {
    files.createPrivateFolder(runtimeFolder);
    const std::string path = joinPath(runtimeFolder, lockName(JsonFileStore::defaultFolder(files)));
    auto lock = files.lock(path, 0);
    if (!lock) throw FileError("cannot create " + path);
    return lock;
}

}  // namespace kestr
