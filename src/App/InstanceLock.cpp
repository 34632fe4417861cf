#include "App/InstanceLock.h"

#include "Platform/FilePath.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

std::unique_ptr<FileLock> InstanceLock::acquire(PosixFiles& files) {
    const std::string folder = JsonFileStore::defaultFolder(files);
    files.createDirectories(folder);
    const std::string path = joinPath(folder, fileName);
    auto lock = files.lock(path, 0);
    if (!lock) throw FileError("cannot create " + path);
    return lock;
}

}  // namespace kestr
