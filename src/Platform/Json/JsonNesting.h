// How deeply a JSON text nests arrays and objects, found without parsing it. Every walk
// of a parsed document (decoding, conversion, copying, printing) recurses once per
// level, so a document is refused before it is parsed when it nests deeper than any
// file kestr writes could.
#pragma once

#include <string_view>

namespace kestr {

class JsonNesting {
public:
    JsonNesting() = delete;

    // Far deeper than any kest file, snaps file or scenario, and shallow enough for
    // every recursive walk to stay well within the stack.
    static constexpr int limit = 256;

    // Whether the text opens more than `limit` arrays or objects inside each other.
    // Brackets inside strings do not count. A malformed text may be counted wrongly; the
    // parser refuses it anyway.
    static bool exceedsLimit(std::string_view text);
};

}  // namespace kestr
