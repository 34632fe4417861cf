// Awaiting the workspace's open-application request: launching an application, or
// asking a running one to reopen a window.
#pragma once

#include <optional>
#include <string>

#include "Platform/Runtime/Completion.h"
#include "Platform/Workspace.h"

namespace kestr {

struct OpenApplicationResult {
    std::optional<RunningApplication> app;
    std::optional<std::string> error;  // the workspace's description of its failure
};

namespace detail {

// Hands the workspace's answer to `done`.
template <class Done>
void requestOpen(const std::string& applicationURL, const OpenConfiguration& configuration, Done done) {
    platform().workspace().openApplication(
        applicationURL, configuration,
        [done](std::optional<RunningApplication> app, std::optional<std::string> error) {
            done(OpenApplicationResult{std::move(app), std::move(error)});
        });
}

}  // namespace detail

// co_await openApplication(url, configuration) gives the workspace's answer.
inline Completion<OpenApplicationResult> openApplication(std::string applicationURL, OpenConfiguration configuration) {
    using Answer = Completion<OpenApplicationResult>;
    return Answer([applicationURL = std::move(applicationURL), configuration = std::move(configuration)](
                      Answer::Done done) { detail::requestOpen(applicationURL, configuration, done); });
}

// The same, waited for no longer than `seconds`: none when the answer has not come by
// then. A desktop may answer only once a window of the application shows (X11), a wait
// that a caller waiting for that window itself must not add to its own.
inline Completion<std::optional<OpenApplicationResult>> openApplication(std::string applicationURL,
                                                                        OpenConfiguration configuration,
                                                                        double seconds) {
    using Answer = Completion<std::optional<OpenApplicationResult>>;
    return Answer([applicationURL = std::move(applicationURL), configuration = std::move(configuration),
                   seconds](Answer::Done done) {
        detail::requestOpen(applicationURL, configuration, done);
        // The first of the two counts.
        platform().mainActor().schedule(seconds, [done] { done(std::nullopt); });
    });
}

}  // namespace kestr
