// Text that other programs gave us (window titles, application names) as it may be shown
// or written: to a terminal, a file, the log, a menu. Any program can put escape
// sequences, bells, line breaks or direction overrides in a title; shown raw they would
// drive the terminal, split a line in two or reverse the text around them.
#pragma once

#include <string>

namespace kestr {

class PrintableText {
public:
    PrintableText() = delete;

    // Control characters (C0, DEL, C1), the line and paragraph separators (U+2028,
    // U+2029) and the characters that embed, override or isolate a direction (U+202A …
    // U+202E, U+2066 … U+2069) become U+FFFD, a mark every font has; so do bytes that are
    // not UTF-8. Everything else stays as it is.
    static std::string of(const std::string& text);
};

}  // namespace kestr
