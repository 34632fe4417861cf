// The one in-flight mark of the applies that open or restore windows, and whether that
// apply waits for the user's answer. A second such apply while one runs is dropped;
// applies that only move open windows do not look at it. Kept as a shared instance, so every installed platform starts with none in flight.
#pragma once

#include <memory>

namespace kestr {

class ApplyInFlight {
    struct State {
        bool applying = false;
        bool asking = false;
    };

    // Sets one mark for its own life. It shares the state, so a mark that outlives the
    // shared instance (an apply still suspended when the platform goes) does no harm.
    template <bool State::*mark>
    class Mark {
    public:
        explicit Mark(ApplyInFlight& owner) : state_(owner.state_) { (*state_).*mark = true; }
        ~Mark() { (*state_).*mark = false; }
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;

    private:
        std::shared_ptr<State> state_;
    };

public:
    static ApplyInFlight& shared();

    bool isApplying() const { return state_->applying; }
    // Whether the apply in flight waits for the user's answer to one of its alerts.
    bool isAsking() const { return state_->asking; }

    using Guard = Mark<&State::applying>;
    using Asking = Mark<&State::asking>;

private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace kestr
