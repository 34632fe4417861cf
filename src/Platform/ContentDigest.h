// A 64-bit digest of some bytes: enough to tell whether a stored file or an encoded
// entry changed, not a protection against anyone forging one. It takes eight bytes a
// step (a multiply and a shift each), in four lanes that do not wait on each other,
// so digesting a large kest file costs little beside reading it. Digests are compared
// within one run only and never stored.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestr {

inline std::uint64_t contentDigest(std::string_view bytes) {
    constexpr std::uint64_t prime = 0x9E3779B97F4A7C15ull;
    const auto mix = [](std::uint64_t h, std::uint64_t word) {
        h = (h ^ word) * prime;
        return h ^ (h >> 29);
    };
    const auto word = [&bytes](std::size_t at) {
        std::uint64_t w;
        std::memcpy(&w, bytes.data() + at, 8);
        return w;
    };
    std::uint64_t h = 1469598103934665603ull ^ (bytes.size() * prime);
    std::size_t i = 0;
    if (bytes.size() >= 32) {
        // Each lane starts apart, so the same words in another lane give another digest.
        std::uint64_t a = h, b = h ^ prime, c = h ^ (prime << 1), d = h ^ (prime >> 1);
        for (; i + 32 <= bytes.size(); i += 32) {
            a = mix(a, word(i));
            b = mix(b, word(i + 8));
            c = mix(c, word(i + 16));
            d = mix(d, word(i + 24));
        }
        h = mix(mix(mix(mix(h, a), b), c), d);
    }
    for (; i + 8 <= bytes.size(); i += 8) h = mix(h, word(i));
    std::uint64_t tail = 0;
    if (i < bytes.size()) std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    return mix(h, tail);
}

}  // namespace kestr
