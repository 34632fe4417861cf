#include "Platform/Posix/QuitSignals.h"

#include <signal.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <stdexcept>

namespace kestr {

struct QuitSignals::State {
    sigset_t signals;
    sigset_t previousMask;
    std::mutex mutex;
    bool requested = false;
    bool finished = false;
    std::function<void()> quit;
};

namespace {

// A signal handler may not take the loop's lock, so the signals are taken here with
// sigwait instead. The destructor wakes this thread with a signal of the set aimed at
// it alone.
void* takeSignals(void* argument) {
    auto& state = *static_cast<QuitSignals::State*>(argument);
    for (;;) {
        int signal = 0;
        if (sigwait(&state.signals, &signal) != 0) continue;
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.finished) return nullptr;
        if (state.requested) continue;
        state.requested = true;
        if (state.quit) state.quit();
    }
}

}  // namespace

QuitSignals::QuitSignals() : state_(std::make_unique<State>()) {
    sigemptyset(&state_->signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&state_->signals, signal);
    pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->previousMask);
    if (pthread_create(&waiter_, nullptr, takeSignals, state_.get()) != 0) {
        pthread_sigmask(SIG_SETMASK, &state_->previousMask, nullptr);
        throw std::runtime_error("cannot start the thread that takes quit signals");
    }
}

QuitSignals::~QuitSignals() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->finished = true;
        state_->quit = nullptr;
    }
    pthread_kill(waiter_, SIGTERM);
    pthread_join(waiter_, nullptr);
    // Signals that came after the last one taken would end the process once the mask
    // is restored; we are quitting anyway, so they are answered.
    const timespec now{0, 0};
    while (sigtimedwait(&state_->signals, nullptr, &now) > 0 || errno == EINTR) {}
    pthread_sigmask(SIG_SETMASK, &state_->previousMask, nullptr);
}

void QuitSignals::onQuit(std::function<void()> quit) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->requested) {
        if (quit) quit();
        return;
    }
    state_->quit = std::move(quit);
}

}  // namespace kestr
