#include "Platform/Json/JsonListParse.h"

#include <string>
#include <utility>
#include <vector>

namespace kestr {

namespace {

using json = nlohmann::json;

// Builds the document from the parser's events, moving every key and string out of the
// parser instead of copying it, and keeps the elements of the list out of it.
class ListBuilder {
public:
    explicit ListBuilder(const JsonListParse& how) : how_(how) {}

    json document;

    bool null() { return scalar(json()); }
    bool boolean(bool value) { return scalar(json(value)); }
    bool number_integer(json::number_integer_t value) { return scalar(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return scalar(json(value)); }
    bool number_float(json::number_float_t value, const json::string_t&) { return scalar(json(value)); }
    bool string(json::string_t& value) { return scalar(json(std::move(value))); }
    bool binary(json::binary_t& value) { return scalar(json::binary(std::move(value))); }

    bool start_object(std::size_t) { return begin(json::object()); }
    bool start_array(std::size_t) { return begin(json::array()); }
    bool end_object() { return end(); }
    bool end_array() { return end(); }

    bool key(json::string_t& name) {
        if (open_.size() == 1) topKey_ = name;
        member_ = &open_.back()->get_ref<json::object_t&>()[std::move(name)];
        return true;
    }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    // Whether a value put now is an element of the list.
    bool inListNow() const { return inList_ && open_.size() == 2; }

    json* put(json&& value) {
        if (open_.empty()) {
            document = std::move(value);
            return &document;
        }
        if (inListNow()) {
            element_ = std::move(value);
            return &element_;
        }
        json& parent = *open_.back();
        if (parent.is_array()) {
            auto& items = parent.get_ref<json::array_t&>();
            items.push_back(std::move(value));
            return &items.back();
        }
        *member_ = std::move(value);
        return member_;
    }

    bool scalar(json&& value) {
        const bool element = inListNow();
        put(std::move(value));
        if (element) handOver();
        return true;
    }

    bool begin(json&& empty) {
        // `open_` counts the levels around the one this event opens.
        if (open_.size() >= std::size_t(JsonNesting::limit)) {
            throw JsonNestingError();
        }
        const bool list = open_.size() == 1 && open_.back()->is_object() && empty.is_array() && topKey_ == how_.listKey;
        open_.push_back(put(std::move(empty)));
        if (list) {
            inList_ = true;
            if (how_.listStarts) how_.listStarts();
        }
        return true;
    }

    bool end() {
        const bool listEnds = inListNow();
        open_.pop_back();
        if (listEnds) {
            inList_ = false;
        } else if (inListNow()) {
            handOver();
        }
        return true;
    }

    void handOver() {
        how_.element(element_);
        element_ = json();
    }

    const JsonListParse& how_;
    std::vector<json*> open_;
    json* member_ = nullptr;
    json::string_t topKey_;
    bool inList_ = false;
    json element_;
};

}  // namespace

json JsonListParse::parse(std::string_view bytes) const {
    ListBuilder builder(*this);
    try {
        json::sax_parse(bytes.begin(), bytes.end(), &builder);
    } catch (const json::exception& e) {
        throw JsonDecodeError(std::string("malformed JSON: ") + e.what());
    }
    return std::move(builder.document);
}

}  // namespace kestr
