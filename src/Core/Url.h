// A URL kept as its absolute text. Only text that parses as a URL makes one, so a stored
// kest never holds a URL that could not be read back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestr {

class Url {
public:
    // A URL reference (with or without scheme) made of URL characters, with every "%"
    // followed by two hexadecimal digits; nullopt for anything else, the empty text
    // included.
    static std::optional<Url> parse(std::string_view text);

    const std::string& string() const { return text_; }

    friend bool operator==(const Url&, const Url&) = default;

private:
    explicit Url(std::string text) : text_(std::move(text)) {}
    std::string text_;
};

}  // namespace kestr
