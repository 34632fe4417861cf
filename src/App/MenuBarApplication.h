// The program without a diagnostic option: the menu-bar application on the real X11
// desktop or the simulated one, until the user quits or a quit signal comes; a
// simulated desktop is then saved.
#pragma once

#include "App/ConsoleOutput.h"
#include "Platform/Posix/UserEnvironment.h"

namespace kestr {

class QuitSignals;

struct MenuBarApplication {
    // Whether windows can be shown: a Qt platform is named, or an X11 or Wayland
    // display is there.
    static bool hasDisplay(const UserEnvironment::Variables& variables);
    // Gives the exit status: 0 after an orderly quit, 1 when the desktop cannot be
    // loaded or saved, and 1 with "kestr is already running" when another application
    // runs on the same data folder (see InstanceLock). `user` is the environment as the
    // process entry read it, `variables` the rest of it.
    static int run(const UserEnvironment& user, const UserEnvironment::Variables& variables, ConsoleOutput& output,
                   QuitSignals& quitSignals);
};

}  // namespace kestr
