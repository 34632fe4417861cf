// Decoding JSON text in tests: the value, or the message of the decoding failure.
#pragma once

#include <string>

#include "Core/ModelJson.h"

namespace kestr::test {

template <class T>
T decodeText(const std::string& text) {
    const nlohmann::json document = parseJson(text);
    return fromJson<T>(JsonValue(document));
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
