#include "Platform/Json/JsonNesting.h"

#include <cstring>

namespace kestr {

namespace {

// Just past the quote that closes the string whose text starts at `p`; `end` when the
// string does not close. A quote ends the string when an even number of backslashes
// stands before it (each pair is one escaped backslash).
const char* pastString(const char* p, const char* end) {
    for (const char* from = p;;) {
        const auto* quote = static_cast<const char*>(std::memchr(from, '"', static_cast<std::size_t>(end - from)));
        if (!quote) return end;
        const char* run = quote;
        while (run > p && run[-1] == '\\') --run;
        if ((quote - run) % 2 == 0) return quote + 1;
        from = quote + 1;
    }
}

}  // namespace

bool JsonNesting::exceedsLimit(std::string_view text) {
    int depth = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        switch (*p++) {
            case '"':
                // Strings are most of a kest file: skipped at memchr's pace.
                p = pastString(p, end);
                break;
            case '[':
            case '{':
                if (++depth > limit) return true;
                break;
            case ']':
            case '}':
                --depth;
                break;
            default:
                break;
        }
    }
    return false;
}

}  // namespace kestr
