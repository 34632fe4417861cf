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

// co_await openApplication(url, configuration) gives the workspace's answer.
inline Completion<OpenApplicationResult> openApplication(std::string applicationURL, OpenConfiguration configuration) {
    return Completion<OpenApplicationResult>(
        [applicationURL = std::move(applicationURL),
         configuration = std::move(configuration)](Completion<OpenApplicationResult>::Done done) {
            platform().workspace().openApplication(
                applicationURL, configuration,
                [done](std::optional<RunningApplication> app, std::optional<std::string> error) {
                    done(OpenApplicationResult{std::move(app), std::move(error)});
                });
        });
}

}  // namespace kestr
