// The main actor of the menu-bar application, driven by Qt's event loop: scheduled
// work runs from one single-shot QTimer re-armed for the earliest deadline, watched
// descriptors from socket notifiers. Work that opens a modal dialog runs Qt's nested
// loop, and what falls due meanwhile runs in it.
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

private:
    void wake() override;
    void fire();
    void arm(double due);
    QElapsedTimer clock_;
    QTimer timer_;
    // When the running timer fires, on the loop's clock.
    double armedFor_ = 0;
};

}  // namespace kestr
