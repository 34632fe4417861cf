#include "Core/JsonEncoder.h"

#include <cmath>

namespace kestr {

namespace {

using nlohmann::json;

bool allFinite(const json& value) {
    switch (value.type()) {
        case json::value_t::number_float: return std::isfinite(value.get<double>());
        case json::value_t::object:
        case json::value_t::array:
            for (const auto& member : value)
                if (!allFinite(member)) return false;
            return true;
        default: return true;
    }
}

// Second pass, only when something failed: find the path to name it.
void rejectNonFinite(const json& value, const std::string& path) {
    switch (value.type()) {
        case json::value_t::number_float:
            if (!std::isfinite(value.get<double>()))
                throw JsonEncodeError((path.empty() ? std::string("document") : path) +
                                      ": a number that is NaN or infinite cannot be written");
            break;
        case json::value_t::object:
            for (const auto& [key, member] : value.items())
                rejectNonFinite(member, path.empty() ? key : path + "." + key);
            break;
        case json::value_t::array:
            for (std::size_t i = 0; i < value.size(); ++i)
                rejectNonFinite(value[i], path + "[" + std::to_string(i) + "]");
            break;
        default:
            break;
    }
}

}  // namespace

std::string JsonEncoder::encode(const nlohmann::json& value) const {
    if (!allFinite(value)) rejectNonFinite(value, "");
    // Objects keep their keys in a sorted map, so the output is sorted already. Text
    // that is not valid UTF-8 is repaired rather than failing the whole file.
    return value.dump(prettyPrinted ? 2 : -1, ' ', false, json::error_handler_t::replace);
}

}  // namespace kestr
