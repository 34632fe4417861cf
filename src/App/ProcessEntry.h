// The process entry: picks the mode the command line asks for, sets up the simulated
// desktop for it, runs it, keeps the desktop for the next run and gives the exit
// status.
#pragma once

#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "App/SimBackend.h"

namespace kestr {

struct ProcessEntry {
    // `arguments` is the whole list, the program path first. Returns the exit status:
    // the mode's own, 1 when the simulated desktop cannot be loaded or saved, and 2
    // when the command line names no mode that this build has.
    static int run(const std::vector<std::string>& arguments, const SimBackendPaths::Environment& environment,
                   ConsoleOutput& output);
};

}  // namespace kestr
