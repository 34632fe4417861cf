// Text properties as X programs write them, in UTF-8: UTF8_STRING as it is, STRING as
// Latin-1, and COMPOUND_TEXT (ISO 2022, which xterm and other Xlib programs write for
// names beyond Latin-1).
#pragma once

#include <string>
#include <string_view>

namespace kestr {

class X11Text {
public:
    X11Text() = delete;

    static std::string fromLatin1(std::string_view bytes);
    // The sets of the X11 compound text rules (ISO 8859 parts, GB 2312, JIS X 0208,
    // KS C 5601), UTF-8 segments and extended segments that name their encoding; a
    // character of a set it does not know comes out as U+FFFD.
    static std::string fromCompoundText(std::string_view bytes);
};

}  // namespace kestr
