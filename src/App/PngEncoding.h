// Images written by the render modes: encoded as PNG in memory, so that the file is
// then written whole or not at all.
#pragma once

#include <QImage>
#include <optional>
#include <string>

namespace kestr {

struct PngEncoding {
    // The PNG bytes; none when the image cannot be encoded, with the reason in `error`.
    static std::optional<std::string> encode(const QImage& image, std::string* error = nullptr);
};

}  // namespace kestr
