// The signals that ask a long-running command-line mode to quit: interrupt, terminate,
// hang-up and quit. While an instance lives they never end the process by themselves:
// a thread of its own takes them, so the mode can stop in order and the simulated
// desktop is still saved, however early or often they come.
#pragma once

#include <pthread.h>

#include <functional>
#include <memory>

namespace kestr {

class QuitSignals {
public:
    // Blocks the signals in the calling thread (and so in every thread it starts
    // later) and starts taking them. Make it before any other work, so that none can
    // come in between.
    QuitSignals();
    // Takes what is still pending, stops taking them and restores the signal mask.
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // What to do for the first signal; called on the signals' thread, or at once when
    // one has already come. Later signals do nothing more. An empty function clears it.
    void onQuit(std::function<void()> quit);

    struct State;

private:
    std::unique_ptr<State> state_;
    pthread_t waiter_{};
};

}  // namespace kestr
