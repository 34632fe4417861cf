// Runs scripts that send events to other applications, synchronously.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
};

class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual ScriptOutcome run(const std::string& source) = 0;
};

}  // namespace kestr
