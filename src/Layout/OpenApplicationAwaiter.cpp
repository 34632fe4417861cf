#include "Layout/OpenApplicationAwaiter.h"

#include <utility>

#include "Platform/Platform.h"

namespace kestr {

OpenApplicationAwaiter::OpenApplicationAwaiter(std::string applicationURL, OpenConfiguration configuration)
    : applicationURL_(std::move(applicationURL)), configuration_(std::move(configuration)) {}

// A task torn down while it waits must not be resumed by a late completion.
OpenApplicationAwaiter::~OpenApplicationAwaiter() { state_->waiting = {}; }

bool OpenApplicationAwaiter::await_suspend(std::coroutine_handle<> waiting) {
    std::shared_ptr<State> state = state_;
    platform().workspace().openApplication(
        applicationURL_, configuration_,
        [state](std::optional<RunningApplication> app, std::optional<std::string> error) {
            if (state->result) return;
            state->result = OpenApplicationResult{std::move(app), std::move(error)};
            if (auto h = std::exchange(state->waiting, {})) h.resume();
        });
    // A completion that ran at once leaves nothing to wait for.
    if (state_->result) return false;
    state_->waiting = waiting;
    return true;
}

OpenApplicationResult OpenApplicationAwaiter::await_resume() { return std::move(*state_->result); }

}  // namespace kestr
