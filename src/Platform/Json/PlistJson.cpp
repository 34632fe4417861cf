#include "Platform/Json/PlistJson.h"

#include <limits>

#include "Platform/Json/JsonParse.h"

namespace kestr {

namespace {

const char* const dataKey = "$data";

std::string hex(const PlistData& data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : data) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

int digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

PlistData unhex(const std::string& text, const std::string& path) {
    if (text.size() % 2 != 0) throw JsonDecodeError(path + ": odd number of hexadecimal digits");
    PlistData out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = digit(text[i]);
        const int lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) throw JsonDecodeError(path + ": not hexadecimal");
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

}  // namespace

nlohmann::json plistToJson(const PlistValue& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, PlistData>) {
                return nlohmann::json{{dataKey, hex(v)}};
            } else if constexpr (std::is_same_v<T, PlistArray>) {
                nlohmann::json out = nlohmann::json::array();
                for (const auto& element : v) out.push_back(plistToJson(element));
                return out;
            } else if constexpr (std::is_same_v<T, PlistDict>) {
                nlohmann::json out = nlohmann::json::object();
                for (const auto& [key, element] : v) out[key] = plistToJson(element);
                return out;
            } else {
                return nlohmann::json(v);
            }
        },
        value.value);
}

void writeJson(JsonWriter& w, const PlistValue& value) {
    std::visit(
        [&w](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, PlistData>) {
                w.beginObject();
                w.key(dataKey), w.value(hex(v));
                w.endObject();
            } else if constexpr (std::is_same_v<T, PlistArray>) {
                w.beginArray();
                for (const auto& element : v) writeJson(w, element);
                w.endArray();
            } else if constexpr (std::is_same_v<T, PlistDict>) {
                w.beginObject();
                for (const auto& [key, element] : v) w.key(key), writeJson(w, element);
                w.endObject();
            } else {
                w.value(v);
            }
        },
        value.value);
}

PlistValue plistFromJson(const nlohmann::json& value, const std::string& path) {
    switch (value.type()) {
        case nlohmann::json::value_t::boolean:
            return PlistValue(value.get<bool>());
        case nlohmann::json::value_t::number_integer:
            return PlistValue(value.get<std::int64_t>());
        case nlohmann::json::value_t::number_unsigned:
            if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                throw JsonDecodeError(path + ": number out of range");
            }
            return PlistValue(static_cast<std::int64_t>(value.get<std::uint64_t>()));
        case nlohmann::json::value_t::number_float:
            return PlistValue(value.get<double>());
        case nlohmann::json::value_t::string:
            return PlistValue(value.get<std::string>());
        case nlohmann::json::value_t::array: {
            PlistArray out;
            for (std::size_t i = 0; i < value.size(); ++i) {
                out.push_back(plistFromJson(value[i], path + "[" + std::to_string(i) + "]"));
            }
            return PlistValue(std::move(out));
        }
        case nlohmann::json::value_t::object: {
            if (value.size() == 1 && value.contains(dataKey) && value[dataKey].is_string()) {
                return PlistValue(unhex(value[dataKey].get<std::string>(), path + "." + dataKey));
            }
            PlistDict out;
            for (const auto& [key, element] : value.items()) out[key] = plistFromJson(element, path + "." + key);
            return PlistValue(std::move(out));
        }
        default:
            throw JsonDecodeError(path + ": a defaults value cannot be null");
    }
}

PlistDict plistDictFromJson(const nlohmann::json& value, const std::string& path) {
    PlistValue read = plistFromJson(value, path);
    // An object of data alone is data, not a dictionary.
    PlistDict* dictionary = std::get_if<PlistDict>(&read.value);
    if (!dictionary) throw JsonDecodeError(path + ": expected an object");
    return std::move(*dictionary);
}

}  // namespace kestr
