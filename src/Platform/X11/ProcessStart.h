// When a process started (in clock ticks since boot, from /proc/<pid>/stat), which tells
// a process from a later one that got the same identifier.
#pragma once

#include <cstdint>
#include <optional>

namespace kestr {

struct ProcessStart {
    // None when no such process runs.
    static std::optional<std::uint64_t> of(std::int32_t pid);
};

}  // namespace kestr
