// The process entry: picks the mode the command line asks for, sets up the desktop for
// it (the real X11 one or the simulated one), runs it, keeps a simulated desktop for the
// next run and gives the exit status.
#pragma once

#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "Platform/Posix/UserEnvironment.h"

namespace kestr {

struct ProcessEntry {
    // `arguments` is the whole list, the program path first. Returns the exit status:
    // the mode's own, 0 after the help, 1 when the simulated desktop cannot be loaded or
    // saved, and 2 when the command line is wrong or names no mode that this build has
    // (one line on standard error says what is wrong). The user's environment
    // is read from `variables` once, here, and handed down.
    static int run(const std::vector<std::string>& arguments, const UserEnvironment::Variables& variables,
                   ConsoleOutput& output);
};

// Says that the X display is gone, in one line, and ends the process with status 1.
[[noreturn]] void connectionLost(ConsoleOutput& output, const std::string& display);

}  // namespace kestr
