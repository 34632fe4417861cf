#include "Core/JsonDecoder.h"

#include <cmath>
#include <limits>

namespace kestr {

using nlohmann::json;

namespace {

// The offending text for a message, left out when it is long.
std::string quoted(const std::string& text) {
    if (text.size() > 64) return "a string of " + std::to_string(text.size()) + " bytes";
    return "\"" + text + "\"";
}

}  // namespace

std::string JsonValue::path() const {
    if (!parent_) return "";
    std::string out = parent_->path();
    if (isElement_) return out + "[" + std::to_string(index_) + "]";
    if (!out.empty()) out += ".";
    return out.append(key_);
}

void JsonValue::fail(const std::string& problem) const {
    const std::string where = path();
    throw JsonDecodeError((where.empty() ? std::string("document") : where) + ": " + problem);
}

void JsonValue::failType(const char* expected) const {
    fail(std::string("expected ") + expected + ", found " + (value_->is_null() ? "null" : value_->type_name()));
}

void JsonValue::failUnknownCase(const std::string& text) const { fail("unknown value " + quoted(text)); }

JsonValue JsonValue::required(std::string_view key) const {
    if (auto member = optional(key)) return *member;
    JsonValue(*value_, this, key).fail("required key is missing or null");
}

std::optional<JsonValue> JsonValue::optional(std::string_view key) const {
    if (!value_->is_object()) failType("an object");
    const auto& object = value_->get_ref<const json::object_t&>();
    const auto it = find(object, key);
    if (it == object.end() || it->second.is_null()) return std::nullopt;
    // The document's own key lives as long as the value it names.
    return JsonValue(it->second, this, std::string_view(it->first));
}

// A key after every member before the last search's end is looked for from there on,
// passing the members in between (usually none); any other key searches the whole object.
JsonValue::Member JsonValue::find(const json::object_t& object, std::string_view key) const {
    Member it;
    if (searched_ && (next_ == object.begin() || std::prev(next_)->first < key)) {
        it = next_;
        while (it != object.end() && it->first < key) ++it;
    } else {
        it = object.lower_bound(key);
    }
    searched_ = true;
    const bool found = it != object.end() && it->first == key;
    next_ = found ? std::next(it) : it;
    return found ? it : object.end();
}

const json::array_t& JsonValue::arrayValue() const {
    if (!value_->is_array()) failType("an array");
    return value_->get_ref<const json::array_t&>();
}

const std::string& JsonValue::stringValue() const {
    if (!value_->is_string()) failType("a string");
    return value_->get_ref<const std::string&>();
}

std::string JsonValue::string() const { return stringValue(); }

bool JsonValue::boolean() const {
    if (!value_->is_boolean()) failType("true or false");
    return value_->get<bool>();
}

std::int64_t JsonValue::integer() const {
    switch (value_->type()) {
        case json::value_t::number_integer:
            return value_->get<std::int64_t>();
        case json::value_t::number_unsigned: {
            const auto u = value_->get<std::uint64_t>();
            if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) fail("integer out of range");
            return static_cast<std::int64_t>(u);
        }
        case json::value_t::number_float: {
            // 5.0 is a whole number; 5.5 is not, nor is anything beyond 64 bits.
            const double d = value_->get<double>();
            if (!std::isfinite(d) || d != std::trunc(d)) fail("expected an integer without a fraction");
            // -2^63 itself only arrives as a float when the text was beyond it (the
            // parser reads every integer that fits as an integer).
            if (d <= -9223372036854775808.0 || d >= 9223372036854775808.0) fail("integer out of range");
            return static_cast<std::int64_t>(d);
        }
        default:
            failType("an integer");
    }
}

std::uint32_t JsonValue::uint32() const {
    if (!value_->is_number()) failType("an integer");
    const std::int64_t i = integer();
    if (i < 0 || i > std::numeric_limits<std::uint32_t>::max()) fail("integer out of range 0...4294967295");
    return static_cast<std::uint32_t>(i);
}

double JsonValue::number() const {
    if (!value_->is_number()) failType("a number");
    return value_->get<double>();
}

Uuid JsonValue::uuid() const {
    const std::string& text = stringValue();
    if (auto u = Uuid::parse(text)) return *u;
    fail("not a UUID: " + quoted(text));
}

Date JsonValue::date() const {
    const std::string& text = stringValue();
    if (auto d = Date::parseISO8601(text)) return *d;
    fail("not an ISO 8601 date: " + quoted(text));
}

Url JsonValue::url() const {
    const std::string& text = stringValue();
    if (auto u = Url::parse(text)) return *u;
    fail("not a URL: " + quoted(text));
}

}  // namespace kestr
