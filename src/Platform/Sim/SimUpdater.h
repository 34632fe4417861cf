// The updater of the simulated desktop. There is no update feed for this build, so a
// check says exactly that instead of pretending to have looked.
#pragma once

#include "Platform/Alerts.h"
#include "Platform/Updater.h"

namespace kestr {

class SimUpdater : public Updater {
public:
    explicit SimUpdater(Alerts& alerts) : alerts_(alerts) {}

    void start() override { ++starts; }
    void checkForUpdates() override {
        ++checks;
        AlertRequest request;
        request.messageText = "Can't check for updates";
        request.informativeText = "This build of kestr has no update feed, so it cannot look for a newer version.";
        request.buttons = {"OK"};
        alerts_.runModal(request);
    }

    int starts = 0;
    int checks = 0;

private:
    Alerts& alerts_;
};

}  // namespace kestr
