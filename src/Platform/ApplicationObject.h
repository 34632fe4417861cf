// This program as the system sees it: how it shows itself (an accessory has no Dock
// icon and no main window), an orderly quit, and the alert sound.
#pragma once

#include "Platform/Workspace.h"

namespace kestr {

class ApplicationObject {
public:
    virtual ~ApplicationObject() = default;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    virtual ActivationPolicy activationPolicy() = 0;
    // Ends the event loop; the process then saves what it keeps and exits with 0.
    virtual void terminate() = 0;
    virtual void beep() = 0;
};

}  // namespace kestr
