// Strict reading of JSON documents into kestr's values.
//
// A JsonValue is a view of one value inside a parsed document that knows where it sits,
// so every failure names the key path ("layouts[3].items[0].targetFrame.x: expected a
// number"). Each accessor checks the JSON type (and range) and throws JsonDecodeError;
// a decode function built from them therefore yields the whole value or nothing.
//
//     nlohmann::json doc = parseJson(bytes);          // malformed JSON throws
//     JsonValue root(doc);
//     auto version = root.required("version").integer();
//     auto names = root.required("names").elements([](const JsonValue& v) { return v.string(); });
//     std::optional<Hotkey> hk;
//     if (auto v = root.optional("hotkey")) hk = fromJson<Hotkey>(*v);   // see ModelJson.h
//
// A view must not outlive the document, nor the view it came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "Core/Url.h"
#include "Core/Uuid.h"
#include "Platform/Date.h"
#include "Platform/Error.h"
#include "Platform/Json/JsonParse.h"

namespace kestr {

class JsonValue {
public:
    explicit JsonValue(const nlohmann::json& root) : value_(&root) {}

    const nlohmann::json& json() const { return *value_; }
    // The key path from the root, "" for the root itself.
    std::string path() const;
    // Throws JsonDecodeError naming this value's path and the problem.
    [[noreturn]] void fail(const std::string& problem) const;

    // A member of an object. required(): missing or null fails; optional(): missing or
    // null gives nullopt. Either fails when this value is not an object.
    JsonValue required(std::string_view key) const;
    std::optional<JsonValue> optional(std::string_view key) const;

    // The elements of an array, each turned into a value by `decode(const JsonValue&)`.
    template <class F>
    auto elements(F&& decode) const {
        using T = decltype(decode(std::declval<const JsonValue&>()));
        const auto& array = arrayValue();
        std::vector<T> out;
        out.reserve(array.size());
        for (std::size_t i = 0; i < array.size(); ++i) out.push_back(decode(JsonValue(array[i], this, i)));
        return out;
    }

    // The member `key` of this object, or the element `index` of this array, held apart
    // from the document: for one decoded piece by piece while it is parsed. `key` must
    // outlive the view.
    JsonValue member(const nlohmann::json& value, std::string_view key) const { return JsonValue(value, this, key); }
    JsonValue element(const nlohmann::json& value, std::size_t index) const { return JsonValue(value, this, index); }

    std::string string() const;
    bool boolean() const;
    // A whole number in the signed 64-bit range; a fraction fails.
    std::int64_t integer() const;
    // A whole number from 0 to 4294967295.
    std::uint32_t uint32() const;
    // Any JSON number.
    double number() const;
    // 8-4-4-4-12 hexadecimal digits in either case.
    Uuid uuid() const;
    // ISO 8601 with "Z" or a numeric offset, whole seconds.
    Date date() const;
    Url url() const;

    // A string that must be one of the cases' names.
    template <class E, std::size_t N>
    E enumeration(const std::pair<std::string_view, E> (&cases)[N]) const {
        const std::string& text = stringValue();
        for (const auto& [name, value] : cases)
            if (text == name) return value;
        failUnknownCase(text);
    }

private:
    JsonValue(const nlohmann::json& value, const JsonValue* parent, std::string_view key)
        : value_(&value), parent_(parent), key_(key) {}
    JsonValue(const nlohmann::json& value, const JsonValue* parent, std::size_t index)
        : value_(&value), parent_(parent), index_(index), isElement_(true) {}

    using Member = nlohmann::json::object_t::const_iterator;
    Member find(const nlohmann::json::object_t& object, std::string_view key) const;
    const nlohmann::json::array_t& arrayValue() const;
    const std::string& stringValue() const;
    [[noreturn]] void failType(const char* expected) const;
    [[noreturn]] void failUnknownCase(const std::string& text) const;

    const nlohmann::json* value_;
    // The path is only put together when something fails.
    const JsonValue* parent_ = nullptr;
    std::string_view key_;
    std::size_t index_ = 0;
    bool isElement_ = false;
    // Members are read in ascending order of their keys, so each search goes on from
    // where the one before ended (see find()).
    mutable bool searched_ = false;
    mutable Member next_;
};

}  // namespace kestr
