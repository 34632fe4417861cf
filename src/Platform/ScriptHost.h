// Runs scripts that send events to other applications, synchronously.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/AXAttributes.h"
#include "Platform/PropertyList.h"

namespace kestr {

struct ScriptOutcome {
    // False when no script object could be made from the source.
    bool created = true;
    // The result's text, when the script succeeded and its result has one.
    std::optional<std::string> stringValue;
    // Present when the script failed: the error dictionary, with the system's keys
    // "NSAppleScriptErrorNumber" and "NSAppleScriptErrorMessage".
    std::optional<PlistDict> errorInfo;
    // When the result is a list: its items in order, each with its text when it has
    // one. Empty for any other result.
    std::vector<std::optional<std::string>> listItems;

    // The failure's number when the error dictionary holds an integer one, else 0.
    std::int64_t errorNumber() const {
        if (!errorInfo) return 0;
        const auto it = errorInfo->find(ax::scriptErrorNumberKey);
        const std::int64_t* number = it == errorInfo->end() ? nullptr : it->second.get<std::int64_t>();
        return number ? *number : 0;
    }
    // The failure's message when the error dictionary holds one as text.
    std::optional<std::string> errorMessage() const {
        if (!errorInfo) return std::nullopt;
        const auto it = errorInfo->find(ax::scriptErrorMessageKey);
        const std::string* message = it == errorInfo->end() ? nullptr : it->second.get<std::string>();
        return message ? std::optional<std::string>(*message) : std::nullopt;
    }
};

class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual ScriptOutcome run(const std::string& source) = 0;
};

}  // namespace kestr
