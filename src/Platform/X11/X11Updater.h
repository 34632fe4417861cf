// Updates on a Linux desktop come with the package manager, together with the rest of
// the system's software: a check says so instead of looking anywhere itself.
#pragma once

#include "Platform/Alerts.h"
#include "Platform/Updater.h"

namespace kestr {

class X11Updater : public Updater {
public:
    explicit X11Updater(Alerts& alerts) : alerts_(alerts) {}

    void start() override {}
    void checkForUpdates() override {
        AlertRequest request;
        request.messageText = "Updates come with your package manager";
        request.informativeText =
            "kestr is updated by your system's package manager, together with your other software. Use it to look "
            "for a newer version.";
        request.buttons = {"OK"};
        alerts_.runModal(request);
    }

private:
    Alerts& alerts_;
};

}  // namespace kestr
