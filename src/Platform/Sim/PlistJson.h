// Property-list values in scenario files. JSON carries every kind but data, which is
// written as an object {"$data": "<hexadecimal bytes>"}; integers and reals keep their
// kind (a real is written with a decimal point).
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "Platform/PropertyList.h"

namespace kestr {

nlohmann::json plistToJson(const PlistValue& value);
// Fails with SimScenarioError naming `path` for a null or an unrepresentable number.
PlistValue plistFromJson(const nlohmann::json& value, const std::string& path);

}  // namespace kestr
