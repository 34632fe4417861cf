// Awaiting an operation that reports through a completion callback (the workspace's
// open requests, for instance):
//
//     auto tabs = co_await Completion<Tabs>([&](auto done) { source.fetchTabs(done); });
//
// (Platform/OpenApplication.h wraps the workspace's open request this way.)
// The awaiting task resumes on the main actor after the callback ran, never inside it.
// A callback that arrives after the awaiting task was destroyed does nothing.
#pragma once

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "Platform/Platform.h"

namespace kestr {

template <class T>
class Completion {
public:
    using Done = std::function<void(T)>;
    explicit Completion(std::function<void(Done)> start) : start_(std::move(start)) {}
    ~Completion() {
        if (state_) state_->abandoned = true;
    }
    Completion(const Completion&) = delete;
    Completion& operator=(const Completion&) = delete;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) {
        state_ = std::make_shared<State>();
        std::weak_ptr<State> weak = state_;
        start_([weak, h](T value) {
            auto state = weak.lock();
            if (!state || state->abandoned || state->value) return;
            state->value.emplace(std::move(value));
            platform().mainActor().post([weak, h] {
                auto s = weak.lock();
                if (s && !s->abandoned) h.resume();
            });
        });
    }
    T await_resume() { return std::move(*state_->value); }

private:
    struct State {
        std::optional<T> value;
        bool abandoned = false;
    };
    std::function<void(Done)> start_;
    std::shared_ptr<State> state_;
};

}  // namespace kestr
