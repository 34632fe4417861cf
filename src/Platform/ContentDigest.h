// A 64-bit digest of some bytes (FNV-1a): enough to tell whether a stored file or an
// encoded entry changed, not a protection against anyone forging one.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestr {

inline std::uint64_t contentDigest(std::string_view bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

}  // namespace kestr
