// The script host of the simulated desktop: every script is recorded, and a handler
// that the test installs answers it (and may change the world as the script would).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/ScriptHost.h"

namespace kestr {

class SimScriptHost : public ScriptHost {
public:
    // Answers a script; none: the script succeeds without a result.
    using Handler = std::function<std::optional<ScriptOutcome>(const std::string& source)>;

    ScriptOutcome run(const std::string& source) override;

    Handler handler;
    const std::vector<std::string>& sources() const { return sources_; }

    static ScriptOutcome success(std::optional<std::string> text = std::nullopt);
    // A list result, with the text of each item that has one.
    static ScriptOutcome list(std::vector<std::optional<std::string>> items);
    static ScriptOutcome failure(std::int64_t number, const std::string& message);
    static ScriptOutcome notCreated();

private:
    std::vector<std::string> sources_;
};

}  // namespace kestr
