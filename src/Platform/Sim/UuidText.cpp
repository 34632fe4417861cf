#include "Platform/Sim/UuidText.h"

#include <cctype>

namespace kestr {

std::optional<std::string> canonicalUuid(const std::string& text) {
    if (text.size() != 36) return std::nullopt;
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (dash) {
            if (c != '-') return std::nullopt;
        } else {
            if (!std::isxdigit(c)) return std::nullopt;
            out[i] = static_cast<char>(std::toupper(c));
        }
    }
    return out;
}

}  // namespace kestr
