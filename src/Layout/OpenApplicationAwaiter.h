// Awaiting the workspace's open-application request: launching an application, or
// asking a running one to reopen a window. The task resumes when the workspace reports
// back through its completion.
#pragma once

#include <coroutine>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Workspace.h"

namespace kestr {

struct OpenApplicationResult {
    std::optional<RunningApplication> app;
    std::optional<std::string> error;  // the workspace's description of its failure
};

class OpenApplicationAwaiter {
public:
    OpenApplicationAwaiter(std::string applicationURL, OpenConfiguration configuration);
    ~OpenApplicationAwaiter();
    OpenApplicationAwaiter(const OpenApplicationAwaiter&) = delete;
    OpenApplicationAwaiter& operator=(const OpenApplicationAwaiter&) = delete;

    bool await_ready() const noexcept { return false; }
    bool await_suspend(std::coroutine_handle<> waiting);
    OpenApplicationResult await_resume();

private:
    struct State {
        std::optional<OpenApplicationResult> result;
        std::coroutine_handle<> waiting;
    };
    std::string applicationURL_;
    OpenConfiguration configuration_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// co_await openApplication(url, configuration) gives the workspace's answer.
inline OpenApplicationAwaiter openApplication(std::string applicationURL, OpenConfiguration configuration) {
    return OpenApplicationAwaiter(std::move(applicationURL), std::move(configuration));
}

}  // namespace kestr
