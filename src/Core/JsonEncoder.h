// Writing JSON documents the way kestr's stored files are written: keys of every object
// sorted, pretty-printed, slashes left unescaped, UTF-8. A number that is NaN or
// infinite cannot be written and fails the whole encoding (nothing partial comes out).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "Platform/Error.h"

namespace kestr {

class JsonEncodeError : public Error {
public:
    using Error::Error;
};

class JsonEncoder {
public:
    // false: everything on one line, as a plain encoder writes it.
    bool prettyPrinted = true;

    // Throws JsonEncodeError, naming the key path, for a NaN or infinite number.
    std::string encode(const nlohmann::json& value) const;
};

}  // namespace kestr
