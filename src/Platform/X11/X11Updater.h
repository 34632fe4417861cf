// Updates on a Linux desktop come with the package manager, together with the rest of
// the system's software, or, for a kestr built from source, from a newer build: a check
// says which instead of looking anywhere itself.
#pragma once

#include "Platform/Alerts.h"
#include "Platform/Updater.h"
#include "Platform/X11/UpdateSource.h"

namespace kestr {

class X11Updater : public Updater {
public:
    explicit X11Updater(Alerts& alerts, UpdateSource source = UpdateSource())
        : alerts_(alerts), source_(std::move(source)) {}

    void start() override {}
    void checkForUpdates() override {
        AlertRequest request;
        request.messageText = source_.title();
        request.informativeText = source_.text();
        if (source_.packageManager()) request.informativeText += " Use it to look for a newer version.";
        request.buttons = {"OK"};
        alerts_.runModal(request);
    }

private:
    Alerts& alerts_;
    UpdateSource source_;
};

}  // namespace kestr
