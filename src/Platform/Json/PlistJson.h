// Property-list values as JSON (simulated scenarios, the settings file): JSON carries
// every kind but data, which is written as an object {"$data": "<hexadecimal bytes>"};
// integers and reals keep their kind (a real is written with a decimal point).
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "Platform/Json/JsonParse.h"
#include "Platform/Json/JsonWriter.h"
#include "Platform/PropertyList.h"

namespace kestr {

nlohmann::json plistToJson(const PlistValue& value);
// The same form written as a stored file (JsonEncoder); a NaN or infinite real fails.
void writeJson(JsonWriter& w, const PlistValue& value);
// Fails with JsonDecodeError naming `path` for a null or an unrepresentable number.
PlistValue plistFromJson(const nlohmann::json& value, const std::string& path);
// The same for a value that must be a dictionary (a domain of user defaults).
PlistDict plistDictFromJson(const nlohmann::json& value, const std::string& path);

}  // namespace kestr
