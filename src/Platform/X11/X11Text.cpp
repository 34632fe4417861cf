#include "Platform/X11/X11Text.h"

#include <unicode/ucnv.h>

#include <cstdint>
#include <vector>

namespace kestr {

namespace {

constexpr char esc = 0x1B;
constexpr std::string_view replacement = "\xEF\xBF\xBD";

// A character set a compound text designates: the converter that reads its bytes in
// their upper-half (GR) form, and how many bytes make one of its characters.
struct Charset {
    const char* converter = nullptr;  // none: ASCII
    int width = 1;
    bool known = true;
};

// ESC ( F and ESC ) F: 94 characters; ESC - F: 96 characters (the upper half of an
// ISO 8859 part); ESC $ ( F and ESC $ ) F: 94 × 94.
Charset designated(char intermediate, bool multiByte, char final) {
    if (multiByte) {
        switch (final) {
            case 'A':
                return {"EUC-CN", 2};
            case 'B':
                return {"EUC-JP", 2};
            case 'C':
                return {"EUC-KR", 2};
            default:
                return {nullptr, 2, false};
        }
    }
    if (intermediate == '-') {
        static constexpr std::pair<char, const char*> parts[] = {
            {'A', "ISO-8859-1"}, {'B', "ISO-8859-2"},  {'C', "ISO-8859-3"},  {'D', "ISO-8859-4"},
            {'F', "ISO-8859-7"}, {'G', "ISO-8859-6"},  {'H', "ISO-8859-8"},  {'L', "ISO-8859-5"},
            {'M', "ISO-8859-9"}, {'V', "ISO-8859-10"}, {'Y', "ISO-8859-13"}, {'b', "ISO-8859-15"},
        };
        for (const auto& [f, name] : parts)
            if (f == final) return {name, 1};
        return {nullptr, 1, false};
    }
    // ASCII, and the Roman half of JIS X 0201, which differs from it in two signs only.
    if (final == 'B' || final == 'J') return {};
    return {nullptr, 1, false};
}

void append(std::string& out, const char* converter, std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::vector<char> text(bytes.size() * 4 + 4);
    const std::int32_t length = ucnv_convert("UTF-8", converter, text.data(), static_cast<std::int32_t>(text.size()),
                                             bytes.data(), static_cast<std::int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        for (std::size_t i = 0; i < bytes.size(); ++i) out += replacement;
        return;
    }
    out.append(text.data(), static_cast<std::size_t>(length));
}

// The characters of `set` whose bytes stand in `run`, in GL (`upper` false) or GR form.
void appendRun(std::string& out, const Charset& set, std::string run, bool upper) {
    if (!set.known) {
        for (std::size_t i = 0; i < run.size() / static_cast<std::size_t>(set.width); ++i) out += replacement;
        return;
    }
    if (!set.converter) {
        for (char& c : run) c = static_cast<char>(c & 0x7F);
        out += run;
        return;
    }
    if (!upper)
        for (char& c : run) c = static_cast<char>(c | 0x80);
    append(out, set.converter, run);
}

}  // namespace

std::string X11Text::fromLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string X11Text::fromCompoundText(std::string_view bytes) {
    std::string out;
    Charset gl, gr{"ISO-8859-1", 1};
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < bytes.size() ? bytes[k] : '\0'; };
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == esc && at(i + 1) == '%' && at(i + 2) == 'G') {
            // UTF-8 up to ESC % @.
            const std::size_t end = bytes.find("\x1B%@", i + 3);
            out.append(bytes.substr(i + 3, end == std::string_view::npos ? std::string_view::npos : end - i - 3));
            i = end == std::string_view::npos ? bytes.size() : end + 3;
        } else if (c == esc && at(i + 1) == '%' && at(i + 2) == '/') {
            // An extended segment: ESC % / F M L, then the encoding's name, STX and the bytes.
            const std::size_t length =
                (static_cast<unsigned char>(at(i + 4)) & 0x7F) * 128 + (static_cast<unsigned char>(at(i + 5)) & 0x7F);
            const std::string_view segment = bytes.substr(std::min(i + 6, bytes.size()), length);
            const std::size_t stx = segment.find('\x02');
            if (stx != std::string_view::npos)
                append(out, std::string(segment.substr(0, stx)).c_str(), segment.substr(stx + 1));
            i += 6 + segment.size();
        } else if (c == esc) {
            // A designation: ESC [$] ( ) or - , then the final byte.
            const bool multiByte = at(i + 1) == '$';
            const char intermediate = at(i + (multiByte ? 2 : 1));
            const char final = at(i + (multiByte ? 3 : 2));
            if (intermediate == '(') gl = designated(intermediate, multiByte, final);
            if (intermediate == ')' || intermediate == '-') gr = designated(intermediate, multiByte, final);
            i += multiByte ? 4 : 3;
        } else if (static_cast<unsigned char>(c) == 0x9B) {
            // A direction (CSI 1 ], CSI 2 ], CSI ]): the text's order is left as it is.
            const std::size_t end = bytes.find(']', i);
            i = end == std::string_view::npos ? bytes.size() : end + 1;
        } else if ((c & 0x7F) < 0x20 || c == ' ') {
            out += c;  // a space whatever the set, tab, newline and the like
            ++i;
        } else {
            // A run of characters of one half.
            const bool upper = static_cast<unsigned char>(c) >= 0x80;
            std::size_t end = i;
            while (end < bytes.size() && (static_cast<unsigned char>(bytes[end]) >= 0x80) == upper &&
                   (bytes[end] & 0x7F) >= 0x20 && bytes[end] != ' ')
                ++end;
            appendRun(out, upper ? gr : gl, std::string(bytes.substr(i, end - i)), upper);
            i = end;
        }
    }
    return out;
}

}  // namespace kestr
