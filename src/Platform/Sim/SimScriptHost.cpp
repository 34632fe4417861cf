#include "Platform/Sim/SimScriptHost.h"

#include "Platform/AXAttributes.h"

namespace kestr {

ScriptOutcome SimScriptHost::run(const std::string& source) {
    sources_.push_back(source);
    if (handler) {
        if (auto outcome = handler(source)) return *outcome;
    }
    return success();
}

ScriptOutcome SimScriptHost::success(std::optional<std::string> text) {
    ScriptOutcome outcome;
    outcome.stringValue = std::move(text);
    return outcome;
}

ScriptOutcome SimScriptHost::list(std::vector<std::optional<std::string>> items) {
    ScriptOutcome outcome;
    outcome.listItems = std::move(items);
    return outcome;
}

ScriptOutcome SimScriptHost::failure(std::int64_t number, const std::string& message) {
    ScriptOutcome outcome;
    outcome.errorInfo = PlistDict{{ax::scriptErrorNumberKey, number}, {ax::scriptErrorMessageKey, message}};
    return outcome;
}

ScriptOutcome SimScriptHost::notCreated() {
    ScriptOutcome outcome;
    outcome.created = false;
    return outcome;
}

}  // namespace kestr
