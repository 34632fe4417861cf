// Starts a task on the simulated main actor and keeps what it returns or throws, so a
// test can advance virtual time and look at the outcome. Works for value and void tasks.
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

#include "Platform/Runtime/Task.h"

namespace kestr::test {

template <class T>
class StartedTask {
public:
    // What a void task leaves behind is only that it finished.
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;
    struct Outcome {
        bool done = false;
        std::optional<Value> value;
        std::exception_ptr error;
    };

    bool done() const { return outcome->done; }
    // Finished and returned (did not throw).
    bool succeeded() const { return outcome->done && !outcome->error; }
    const Value& value() const { return *outcome->value; }
    // Throws what the task threw; nothing when it did not (or has not finished).
    void rethrow() const {
        if (outcome->error) std::rethrow_exception(outcome->error);
    }
    void cancel() const { handle.cancel(); }

    std::shared_ptr<Outcome> outcome = std::make_shared<Outcome>();
    TaskHandle handle;
};

template <class T>
Task<void> keepOutcome(Task<T> task, std::shared_ptr<typename StartedTask<T>::Outcome> outcome) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value.emplace();
        } else {
            outcome->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->done = true;
}

// Spawns the task; it starts when the main actor next runs.
template <class T>
StartedTask<T> start(Task<T> task) {
    StartedTask<T> started;
    started.handle = spawn(keepOutcome<T>(std::move(task), started.outcome));
    return started;
}

}  // namespace kestr::test
