// Decoding JSON text in tests: the value, or the message of the decoding failure; and
// the encoded form of a value as a tree.
#pragma once

#include <string>

#include "Core/ModelJson.h"

namespace kestr::test {

template <class T>
T decodeText(const std::string& text) {
    const nlohmann::json document = parseJson(text);
    return fromJson<T>(JsonValue(document));
}

// The tree of what the stored-file encoder writes for the value.
template <class T>
nlohmann::json jsonOf(const T& value) {
    return nlohmann::json::parse(JsonEncoder().encode(value));
}

// "" when decoding succeeded.
template <class T>
std::string decodeFailure(const std::string& text) {
    try {
        decodeText<T>(text);
        return "";
    } catch (const JsonDecodeError& e) {
        return e.what();
    }
}

}  // namespace kestr::test
