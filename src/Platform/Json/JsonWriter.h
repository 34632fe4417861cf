// Writes one JSON document straight into a string, member by member, in the form of
// kestr's stored files: pretty-printed with two spaces (or all on one line), slashes
// as they are, UTF-8 (a byte sequence that is not UTF-8 becomes U+FFFD). The caller
// writes the members of each object in ascending order of their keys; nothing is
// sorted here. A number that is NaN or infinite throws JsonEncodeError naming its key
// path, and the writer is then of no further use.
//
//     JsonWriter w;
//     w.beginObject();
//     w.key("name"), w.value("Work");
//     w.key("version"), w.value(std::int64_t{1});
//     w.endObject();
//     std::string text = w.take();
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Error.h"

namespace kestr {

class JsonEncodeError : public Error {
public:
    using Error::Error;
};

class JsonWriter {
public:
    explicit JsonWriter(bool prettyPrinted = true) : pretty_(prettyPrinted) {}
    // A writer whose text is not JSON but the raw content of what is written: strings
    // and keys as their bytes with their length, numbers as their bits. Two documents
    // give the same text exactly when a JSON writer would write them alike (strings
    // that are not UTF-8 aside), without the cost of formatting numbers and escaping
    // strings: for digests of content.
    static JsonWriter digesting() {
        JsonWriter w(false);
        w.raw_ = true;
        return w;
    }

    void beginObject() { open('{', true); }
    void endObject() { close('}'); }
    void beginArray() { open('[', false); }
    void endArray() { close(']'); }

    // The next member of the object being written. `name` must outlive the member.
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(const std::string& text) { value(std::string_view(text)); }
    void value(double number);
    void value(std::int64_t number);
    void value(std::uint32_t number);
    void value(bool flag);

    // The document written so far; the writer is empty afterwards.
    std::string take() { return std::move(out_); }
    // The document written so far, left in the writer.
    std::string_view text() const { return out_; }
    // Starts a new document, keeping the memory the last one grew.
    void restart() {
        out_.clear();
        levels_.clear();
    }

private:
    struct Level {
        bool object;
        std::size_t count = 0;
        std::string_view key;  // objects: the member being written
    };

    void open(char bracket, bool object);
    void close(char bracket);
    // Starts a value: the separator and indentation of an array element.
    void beginValue();
    void newLine(std::size_t depth);
    // Raw form: a tag, then `size` bytes.
    void rawItem(char tag, const void* bytes, std::size_t size);
    void rawText(char tag, std::string_view text);
    std::string path() const;

    bool pretty_;
    bool raw_ = false;
    std::string out_;
    std::vector<Level> levels_;
};

}  // namespace kestr
