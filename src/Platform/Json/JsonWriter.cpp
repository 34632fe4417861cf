#include "Platform/Json/JsonWriter.h"

#include <charconv>
#include <cmath>

#include <nlohmann/json.hpp>

namespace kestr {

namespace {

// Appends `text` as the inside of a JSON string: the quote, the backslash and control
// characters escaped (\b \t \n \f \r or \u00xx), everything else as it is. A byte that
// cannot begin or continue a well-formed UTF-8 sequence (overlong forms, surrogates,
// beyond U+10FFFF, a sequence cut short) is replaced by U+FFFD: one per byte that
// cannot begin a sequence, one per cut-short sequence, which is read again from the
// byte that broke it.
void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        // Printable ASCII that needs no escape goes over in one piece: most of any text.
        std::size_t plain = i;
        while (plain < text.size() && byte(plain) >= 0x20 && byte(plain) < 0x80 && byte(plain) != '"' &&
               byte(plain) != '\\')
            ++plain;
        if (plain > i) {
            out.append(text.data() + i, plain - i);
            i = plain;
            continue;
        }
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            switch (lead) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    if (lead < 0x20) {
                        out += "\\u00";
                        out += hex[lead >> 4];
                        out += hex[lead & 0xF];
                    } else {
                        out += static_cast<char>(lead);
                    }
            }
            ++i;
            continue;
        }
        // How many continuation bytes follow, and the range the first of them must lie in.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out += replacement;
            ++i;
            continue;
        }
        std::size_t n = 1;
        for (; n <= length && i + n < text.size(); ++n) {
            const unsigned char next = byte(i + n);
            if (next < (n == 1 ? low : 0x80) || next > (n == 1 ? high : 0xBF)) break;
        }
        if (n > length) {
            out.append(text.substr(i, n));
        } else {
            out += replacement;
        }
        i += n;
    }
}

}  // namespace

void JsonWriter::newLine(std::size_t depth) {
    out_ += '\n';
    out_.append(2 * depth, ' ');
}

void JsonWriter::beginValue() {
    if (levels_.empty() || levels_.back().object) return;  // after a key, or the document itself
    Level& array = levels_.back();
    if (array.count++ > 0) out_ += ',';
    if (pretty_) newLine(levels_.size());
}

void JsonWriter::rawItem(char tag, const void* bytes, std::size_t size) {
    out_ += tag;
    out_.append(static_cast<const char*>(bytes), size);
}

void JsonWriter::rawText(char tag, std::string_view text) {
    const std::uint64_t size = text.size();
    rawItem(tag, &size, sizeof size);
    out_.append(text);
}

void JsonWriter::key(std::string_view name) {
    Level& object = levels_.back();
    object.key = name;
    if (raw_) {
        ++object.count;
        rawText('k', name);
        return;
    }
    if (object.count++ > 0) out_ += ',';
    if (pretty_) newLine(levels_.size());
    out_ += '"';
    appendEscaped(out_, name);
    out_ += pretty_ ? "\": " : "\":";
}

void JsonWriter::open(char bracket, bool object) {
    beginValue();
    out_ += bracket;
    levels_.push_back(Level{object, 0, {}});
}

void JsonWriter::close(char bracket) {
    const bool empty = levels_.back().count == 0;
    levels_.pop_back();
    if (pretty_ && !empty) newLine(levels_.size());
    out_ += bracket;
}

void JsonWriter::value(std::string_view text) {
    beginValue();
    if (raw_) return rawText('s', text);
    out_ += '"';
    appendEscaped(out_, text);
    out_ += '"';
}

void JsonWriter::value(double number) {
    beginValue();
    if (!std::isfinite(number)) throw JsonEncodeError(path() + ": a number that is NaN or infinite cannot be written");
    // The shortest text that reads back as a double tells doubles apart as their bits do.
    if (raw_) return rawItem('d', &number, sizeof number);
    // The shortest text that reads back as the same double, as nlohmann writes it.
    char buffer[64];
    char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, number);
    out_.append(buffer, static_cast<std::size_t>(end - buffer));
}

void JsonWriter::value(std::int64_t number) {
    beginValue();
    if (raw_) return rawItem('i', &number, sizeof number);
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out_.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

void JsonWriter::value(std::uint32_t number) { value(static_cast<std::int64_t>(number)); }

void JsonWriter::value(bool flag) {
    beginValue();
    out_ += flag ? "true" : "false";
}

std::string JsonWriter::path() const {
    std::string out;
    for (const Level& level : levels_) {
        if (level.object) {
            if (!out.empty()) out += '.';
            out += level.key;
        } else {
            out += '[' + std::to_string(level.count - 1) + ']';
        }
    }
    return out.empty() ? "document" : out;
}

}  // namespace kestr
