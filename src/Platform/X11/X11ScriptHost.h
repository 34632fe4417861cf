// Scripts to other applications have no counterpart on X11: every script answers an
// error that says so, so callers take their fallbacks instead of a success without an
// answer.
#pragma once

#include "Platform/AXAttributes.h"
#include "Platform/ScriptHost.h"

namespace kestr {

class X11ScriptHost : public ScriptHost {
public:
    static constexpr std::int64_t unavailableError = -1750;
    ScriptOutcome run(const std::string&) override {
        ScriptOutcome outcome;
        outcome.errorInfo =
            PlistDict{{ax::scriptErrorNumberKey, unavailableError},
                      {ax::scriptErrorMessageKey,
                       std::string("Scripts to other applications are not available on this desktop.")}};
        return outcome;
    }
};

}  // namespace kestr
