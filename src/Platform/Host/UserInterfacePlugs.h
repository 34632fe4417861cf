// What the program's user interface plugs into whichever desktop runs: the alert window,
// the toast window, the pointer's shape over other windows, the alert sound and an
// orderly quit. A part left empty is not plugged in.
#pragma once

#include <functional>

#include "Platform/Alerts.h"
#include "Platform/Cursors.h"
#include "Platform/Toasts.h"

namespace kestr {

struct UserInterfacePlugs {
    Alerts* alerts = nullptr;
    Toasts* toasts = nullptr;
    Cursors* cursors = nullptr;
    std::function<void()> beep;
    // Ends the event loop.
    std::function<void()> terminate;
};

}  // namespace kestr
