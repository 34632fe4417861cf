// Parsing a JSON text into a document, and the errors of reading one: the first step of
// every stored file kestr reads.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Platform/Error.h"
#include "Platform/Json/JsonNesting.h"

namespace kestr {

class JsonDecodeError : public Error {
public:
    using Error::Error;
};

// A document nested deeper than JsonNesting::limit.
class JsonNestingError : public JsonDecodeError {
public:
    using JsonDecodeError::JsonDecodeError;
    JsonNestingError()
        : JsonDecodeError("JSON nested more than " + std::to_string(JsonNesting::limit) + " levels deep") {}
};

// Parses the bytes as one JSON value (no comments, nothing after it, valid UTF-8, no
// deeper than JsonNesting::limit, no key twice in one object); anything else throws
// JsonDecodeError. Built from the parser's events as JsonListParse builds a document.
nlohmann::json parseJson(std::string_view bytes);

}  // namespace kestr
