#include "Core/Url.h"

#include <cctype>
#include <cstring>

namespace kestr {

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Unreserved and reserved URL characters, and "#" once for the fragment.
bool isUrlCharacter(char c) {
    if (std::isalnum(static_cast<unsigned char>(c))) return true;
    return c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=", c) != nullptr;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
    if (text.empty()) return std::nullopt;
    bool inFragment = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return std::nullopt;
            i += 2;
            continue;
        }
        if (!isUrlCharacter(c)) return std::nullopt;
        if (c == '#') {
            if (inFragment) return std::nullopt;
            inFragment = true;
        }
    }
    // A scheme, when there is one, starts with a letter and holds letters, digits, "+",
    // "-" and "."; a colon after anything else is part of a path.
    const auto colon = text.find(':');
    const auto slash = text.find_first_of("/?#");
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) {
        if (colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0]))) return std::nullopt;
        for (std::size_t i = 1; i < colon; ++i) {
            const char c = text[i];
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return std::nullopt;
        }
    }
    return Url(std::string(text));
}

}  // namespace kestr
