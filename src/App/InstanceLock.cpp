#include "App/InstanceLock.h"

#include "Platform/FilePath.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

std::unique_ptr<FileLock> InstanceLock::acquire(Files& files) {
    const std::string folder = JsonFileStore::defaultFolder(files);
    files.createDirectories(folder);
    return files.lock(joinPath(folder, fileName), 0);
}

}  // namespace kestr
