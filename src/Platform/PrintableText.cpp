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

// Control characters, and the line and paragraph separators (U+2028, U+2029), which break
// a line as a line feed does.
bool isControlOrSeparator(UChar32 c) {
    const auto type = static_cast<UCharCategory>(u_charType(c));
    return type == U_CONTROL_CHAR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

std::string PrintableText::of(const std::string& text) {
    // Most titles are plain ASCII; they need no decoding.
    if (isPlainPrintable(text)) return text;
    const icu::UnicodeString source = icu::UnicodeString::fromUTF8(text);
    icu::UnicodeString shown;
    for (int32_t i = 0; i < source.length(); i = source.moveIndex32(i, 1)) {
        const UChar32 c = source.char32At(i);
        shown.append(isDirectional(c) || isControlOrSeparator(c) ? static_cast<UChar32>(0xFFFD) : c);
    }
    std::string out;
    shown.toUTF8String(out);
    return out;
}

}  // namespace kestr
