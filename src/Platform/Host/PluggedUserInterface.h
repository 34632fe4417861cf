// The platform's side of the user interface on a real process: alerts, toasts, the
// cursor, the beep and quit requests go to what the user interface plugged in. With
// nothing plugged in (a command-line mode) an alert is answered by its first button,
// the one that goes ahead, and the rest goes nowhere.
#pragma once

#include <utility>

#include "Platform/ApplicationObject.h"
#include "Platform/Host/UserInterfacePlugs.h"

namespace kestr {

class PluggedUserInterface : public Alerts, public Toasts, public Cursors, public ApplicationObject {
public:
    // Empty plugs unplug.
    void plug(UserInterfacePlugs plugs) { plugs_ = std::move(plugs); }

    int runModal(const AlertRequest& request) override {
        return plugs_.alerts ? plugs_.alerts->runModal(request) : alertFirstButtonReturn;
    }
    void bringOpenAlertForward() override {
        if (plugs_.alerts) plugs_.alerts->bringOpenAlertForward();
    }
    void show(const ToastText& text, ToastFeel feel, double duration) override {
        if (plugs_.toasts) plugs_.toasts->show(text, feel, duration);
    }
    void set(CursorShape shape) override {
        if (plugs_.cursors) plugs_.cursors->set(shape);
    }
    void setActivationPolicy(ActivationPolicy policy) override { policy_ = policy; }
    ActivationPolicy activationPolicy() override { return policy_; }
    void terminate() override {
        if (plugs_.terminate) plugs_.terminate();
    }
    void beep() override {
        if (plugs_.beep) plugs_.beep();
    }

private:
    UserInterfacePlugs plugs_;
    ActivationPolicy policy_ = ActivationPolicy::regular;
};

}  // namespace kestr
