// The main actor of the menu-bar application, driven by Qt's event loop: scheduled
// work runs from one single-shot QTimer re-armed for the earliest deadline, watched
// descriptors from socket notifiers. Work a watch posts runs as soon as the watch
// returns, in the same turn of the loop (the timer is armed for it only should the
// watch itself run a nested loop). After work or a watch runs, the loop is woken so
// that Qt sends what it asked of our windows. Work that opens a modal dialog runs Qt's
// nested loop, and what falls due meanwhile runs in it.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "Platform/Runtime/MainActor.h"

namespace kestr {

class QtMainActor final : public MainActor {
public:
    QtMainActor();
    ~QtMainActor() override;
    double now() const override;
    // Through a socket notifier, so the descriptor is served by Qt's own loop.
    std::unique_ptr<DescriptorWatch> watchReadable(int fd, std::function<void()> readable) override;

    // Runs a watch, then the work that is due.
    void serve(const std::function<void()>& readable);

private:
    void wake() override;
    // Runs the work that is due, then arms the timer for what comes next.
    void runDue();
    void armForNext();
    void arm(double due);
    void sendWindowRequests();
    QElapsedTimer clock_;
    QTimer timer_;
    // When the running timer fires, on the loop's clock.
    double armedFor_ = 0;
    // Whether the loop says when it is about to wait, so that arming can be left until then.
    bool toldBeforeWaiting_ = false;
    // Set while work or a watch runs: the timer is armed once it ends, or when a nested
    // loop is about to wait (armLater_).
    bool deferring_ = false;
    bool armLater_ = false;
};

}  // namespace kestr
