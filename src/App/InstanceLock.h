// One menu-bar application per user data folder: the running one holds an advisory
// lock on "app.lock" in the folder for its whole life, which the system lets go when
// the process ends, a crash included; a second start finds it held and stops.
#pragma once

#include <memory>
#include <string>

#include "Platform/Files.h"

namespace kestr {

class InstanceLock {
public:
    InstanceLock() = delete;

    static constexpr const char* fileName = "app.lock";

    // Takes the lock, creating the data folder when it is missing. Throws
    // FileLockedError while another process holds it, FileError when the folder
    // cannot be made; none when it cannot hold the lock file.
    static std::unique_ptr<FileLock> acquire(Files& files);
};

}  // namespace kestr
