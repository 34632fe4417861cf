// Parsing a JSON document whose top-level object holds one long list (the kests of the
// kest file, say) without ever holding that list whole: each element is handed over as
// soon as it is parsed and then dropped, so the parsed document never takes more than
// one element's worth of memory beside the rest. Nesting deeper than JsonNesting::limit
// is refused as it is met, without a walk of the whole text beforehand.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Platform/Json/JsonParse.h"

namespace kestr {

struct JsonListParse {
    // The member of the top-level object whose list is handed over.
    std::string_view listKey;
    // The list begins under `listKey` (a key repeated in one object is refused as
    // malformed, the list's key as any other).
    std::function<void()> listStarts;
    // One element of the list, in order; it may be taken apart. An exception thrown here
    // ends the parse.
    std::function<void(nlohmann::json& element)> element;

    // The document, with the list as an empty array. Throws JsonDecodeError (malformed
    // JSON, a key twice in one object, or JsonNestingError).
    nlohmann::json parse(std::string_view bytes) const;
};

}  // namespace kestr
