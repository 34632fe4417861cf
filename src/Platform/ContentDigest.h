// A 64-bit digest of some bytes: enough to tell whether a stored file or an encoded
// entry changed, not a protection against anyone forging one. It takes eight bytes a
// step (a multiply and a shift each), so digesting a large kest file costs little
// beside reading it. Digests are compared within one run only and never stored.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestr {

inline std::uint64_t contentDigest(std::string_view bytes) {
    constexpr std::uint64_t prime = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = 1469598103934665603ull ^ (bytes.size() * prime);
    const auto mix = [&h](std::uint64_t word) {
        h = (h ^ word) * prime;
        h ^= h >> 29;
    };
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        mix(word);
    }
    std::uint64_t tail = 0;
    if (i < bytes.size()) std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    mix(tail);
    return h;
}

}  // namespace kestr
