// One menu-bar application per user data folder: the running one holds an advisory
// lock for its whole life, which the system lets go when the process ends, a crash
// included; a second start finds it held and stops. The lock file lies beside the data
// folder ("kestr.lock" next to "kestr", next to the folder it links to when it is a
// link), so every instance on that folder meets it, whatever runtime folder or path (a
// link, "." in it) each was given.
#pragma once

#include <memory>
#include <string>

#include "Platform/Posix/PosixFiles.h"

namespace kestr {

class InstanceLock {
public:
    InstanceLock() = delete;

    // Takes the lock beside the data folder, made when missing. Throws FileLockedError
    // while another process holds it, FileError when it cannot be taken safely (the
    // folder cannot be made, or the lock file is a link or no regular file).
    static std::unique_ptr<FileLock> acquire(PosixFiles& files);
};

}  // namespace kestr
