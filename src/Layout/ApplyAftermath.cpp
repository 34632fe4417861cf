#include "Layout/ApplyAftermath.h"

#include <exception>
#include <vector>

namespace kestr {

struct ApplyAftermath::Record {
    int running = 0;
    std::vector<std::string> outcomes;
    std::function<void(const std::string&)> listener;
    std::vector<std::function<void(bool)>> waiting;

    void finish() {
        if (--running > 0) return;
        auto resume = std::move(waiting);
        for (auto& done : resume) done(true);
    }
};

ApplyAftermath::ApplyAftermath() : record_(std::make_shared<Record>()) {}

void ApplyAftermath::start(Task<void> work) const {
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

void ApplyAftermath::ended(const std::string& outcome) const {
    record_->outcomes.push_back(outcome);
    if (record_->listener) record_->listener(outcome);
}

void ApplyAftermath::listen(std::function<void(const std::string&)> listener) const {
    for (const std::string& outcome : record_->outcomes) listener(outcome);
    record_->listener = std::move(listener);
}

bool operator==(const ApplyAftermath& a, const ApplyAftermath& b) {
    return a.record_->running == b.record_->running && a.record_->outcomes == b.record_->outcomes;
}

bool ApplyAftermath::isOver() const { return record_->running == 0; }

Completion<bool> ApplyAftermath::over() const {
    return Completion<bool>([record = record_](Completion<bool>::Done done) {
        if (record->running == 0)
            done(true);
        else
            record->waiting.push_back(std::move(done));
    });
}

}  // namespace kestr
