// The encoder of every stored JSON file: keys of every object sorted, pretty-printed,
// slashes left unescaped, UTF-8. Each value is written straight from the model by its
// writeJson() (see ModelJson.h); a NaN or infinite number fails the whole encoding,
// naming its key path, and nothing partial comes out.
#pragma once

#include <string>

#include "Platform/Json/JsonWriter.h"

namespace kestr {

class JsonEncoder {
public:
    // false: everything on one line, as a plain encoder writes it.
    bool prettyPrinted = true;

    // A writer with these options, for documents written piece by piece.
    JsonWriter writer() const { return JsonWriter(prettyPrinted); }

    // Throws JsonEncodeError.
    template <class T>
    std::string encode(const T& value) const {
        JsonWriter w = writer();
        writeJson(w, value);
        return w.take();
    }
};

}  // namespace kestr
