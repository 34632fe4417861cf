#include "Layout/ApplyAftermath.h"

#include <exception>
#include <variant>
#include <vector>

#include "Platform/Runtime/Completion.h"

namespace kestr {

struct ApplyAftermath::Record {
    using Ended = Completion<std::monostate>::Done;
    int running = 0;
    std::vector<std::string> outcomes;
    std::function<void(const std::string&)> listener;
    std::vector<Ended> waiting;

    void finish() {
        if (--running > 0) return;
        auto resume = std::move(waiting);
        for (Ended& ended : resume) ended({});
    }
};

ApplyAftermath::ApplyAftermath() : record_(std::make_shared<Record>()) {}

void ApplyAftermath::start(Task<void> work) {
    ++record_->running;
    spawn(counted(record_, std::move(work)));
}

Task<void> ApplyAftermath::counted(std::shared_ptr<Record> record, Task<void> work) {
    std::exception_ptr failure;
    try {
        co_await std::move(work);
    } catch (...) {
        failure = std::current_exception();
    }
    record->finish();
    if (failure) std::rethrow_exception(failure);
}

void ApplyAftermath::ended(const std::string& outcome) {
    record_->outcomes.push_back(outcome);
    if (record_->listener) record_->listener(outcome);
}

void ApplyAftermath::listen(std::function<void(const std::string&)> listener) {
    for (const std::string& outcome : record_->outcomes) listener(outcome);
    record_->listener = std::move(listener);
}

bool operator==(const ApplyAftermath& a, const ApplyAftermath& b) {
    return a.record_->running == b.record_->running && a.record_->outcomes == b.record_->outcomes;
}

Task<void> ApplyAftermath::over() const { return ends(record_); }

Task<void> ApplyAftermath::ends(std::shared_ptr<Record> record) {
    if (record->running == 0) co_return;
    // The frame keeps the record. The lambda names no parameter of the coroutine: gcc 12
    // copies such a capture from the caller's argument, long gone, not from the frame.
    std::vector<Record::Ended>& waiting = record->waiting;
    co_await Completion<std::monostate>(
        [&waiting](Completion<std::monostate>::Done ended) { waiting.push_back(std::move(ended)); });
}

}  // namespace kestr
