// One menu-bar application per user data folder: the running one holds an advisory
// lock for its whole life, which the system lets go when the process ends, a crash
// included; a second start finds it held and stops. The lock file lives in the user's
// runtime folder, named after the data folder (the folder itself, through any link or
// "." in its path), so it can be taken where the data folder is read-only or missing.
#pragma once

#include <memory>
#include <string>

#include "Platform/Posix/PosixFiles.h"

namespace kestr {

class InstanceLock {
public:
    InstanceLock() = delete;

    // Takes the lock in `runtimeFolder`, made (private to the user) when missing.
    // Throws FileLockedError while another process holds it, FileError when it cannot
    // be taken.
    static std::unique_ptr<FileLock> acquire(PosixFiles& files, const std::string& runtimeFolder);
};

}  // namespace kestr
