// The one in-flight mark of the applies that open or restore windows. A second such
// apply while one runs is dropped; applies that only move open windows do not look at
// it. Kept as a shared instance, so every installed platform starts with none in flight.
#pragma once

#include <memory>

namespace kestr {

class ApplyInFlight {
public:
    static ApplyInFlight& shared();

    bool isApplying() const { return *flag_; }

    // Sets the mark for its own life. It shares the flag, so a guard that outlives the
    // shared instance (an apply still suspended when the platform goes) does no harm.
    class Guard {
    public:
        explicit Guard(ApplyInFlight& owner) : flag_(owner.flag_) { *flag_ = true; }
        ~Guard() { *flag_ = false; }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        std::shared_ptr<bool> flag_;
    };

private:
    std::shared_ptr<bool> flag_ = std::make_shared<bool>(false);
};

}  // namespace kestr
