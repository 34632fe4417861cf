#include "Platform/PrintableText.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace kestr {

namespace {

bool isPlainPrintable(const std::string& text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

bool isDirectional(UChar32 c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

}  // namespace

std::string PrintableText::of(const std::string& text) {
    // Most titles are plain ASCII; they need no decoding.
    if (isPlainPrintable(text)) return text;
    const icu::UnicodeString source = icu::UnicodeString::fromUTF8(text);
    icu::UnicodeString shown;
    for (int32_t i = 0; i < source.length(); i = source.moveIndex32(i, 1)) {
        const UChar32 c = source.char32At(i);
        shown.append(isDirectional(c) || u_charType(c) == U_CONTROL_CHAR ? static_cast<UChar32>(0xFFFD) : c);
    }
    std::string out;
    shown.toUTF8String(out);
    return out;
}

}  // namespace kestr
