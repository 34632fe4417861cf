// What /proc tells of a process: when it started (which tells it from a later process
// that got the same identifier), its parent and children, and its working folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestr {

struct ProcessInfo {
    // In clock ticks since boot; none when no such process runs (or it ended and is not
    // yet collected).
    static std::optional<std::uint64_t> startTime(std::int32_t pid);
    static std::vector<std::int32_t> children(std::int32_t pid);
    // Whether `pid` is `ancestor` or was started by it, or by one of its children, …
    static bool descendsFrom(std::int32_t pid, std::int32_t ancestor);
    // None when it cannot be read (another user's process, or gone).
    static std::optional<std::string> workingFolder(std::int32_t pid);
};

}  // namespace kestr
