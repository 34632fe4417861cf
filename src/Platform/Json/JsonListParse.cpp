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

    // A key repeated in one object would leave only one of its values: the document is
    // refused, as any other damage is, instead of losing the others without a word.
    bool key(json::string_t& name) {
        Open& object = open_.back();
        auto [member, added] = object.value->get_ref<json::object_t&>().try_emplace(std::move(name));
        if (!added) throw JsonDecodeError("malformed JSON: the key \"" + name + "\" appears twice in " + where());
        object.key = &member->first;
        member_ = &member->second;
        return true;
    }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    // An array or object being parsed: its member being parsed, or how many elements it
    // has so far (the list's are handed over, not kept).
    struct Open {
        json* value;
        const std::string* key = nullptr;
        std::size_t elements = 0;
    };

    // Whether a value put now is an element of the list.
    bool inListNow() const { return inList_ && open_.size() == 2; }

    // The object being parsed, for a reader: "layouts[3].items[0]".
    std::string where() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < open_.size(); ++i) {
            const Open& level = open_[i];
            if (level.value->is_array())
                path += "[" + std::to_string(level.elements - 1) + "]";
            else
                path += (path.empty() ? "" : ".") + *level.key;
        }
        return path.empty() ? "the top-level object" : "the object at " + path;
    }

    json* put(json&& value) {
        if (open_.empty()) {
            document = std::move(value);
            return &document;
        }
        Open& parent = open_.back();
        if (inListNow()) {
            ++parent.elements;
            element_ = std::move(value);
            return &element_;
        }
        if (parent.value->is_array()) {
            ++parent.elements;
            auto& items = parent.value->get_ref<json::array_t&>();
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
        const bool list = how_.element && open_.size() == 1 && open_.back().value->is_object() && empty.is_array() &&
                          *open_.back().key == how_.listKey;
        open_.push_back(Open{put(std::move(empty))});
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
    std::vector<Open> open_;
    json* member_ = nullptr;
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

json parseJson(std::string_view bytes) { return JsonListParse{}.parse(bytes); }

}  // namespace kestr
