#include "App/InstanceLock.h"

#include "Platform/FilePath.h"
#include "Platform/Json/JsonFileStore.h"

namespace kestr {

std::unique_ptr<FileLock> InstanceLock::acquire(PosixFiles& files) {
    // Beside the data folder, not in it: the folder is made only once an earlier
    // version's folder had its chance to take its place. Beside the folder it resolves
    // to when it is a link, where a start given the link's target meets it too.
    const std::string path = PosixFiles::resolved(JsonFileStore::defaultFolder(files)) + ".lock";
    files.createDirectories(parentFolder(path));
    auto lock = files.lock(path, 0);
    if (!lock) throw FileError("cannot create " + path);
    return lock;
}

}  // namespace kestr
