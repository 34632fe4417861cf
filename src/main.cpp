// Process entry: hands the command line and the environment to the mode dispatch.
#include <csignal>
#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "App/ProcessEntry.h"
#include "Platform/Posix/UserEnvironment.h"

int main(int argc, char** argv) {
    // A write to a pipe nobody reads any more (`kestr … | head -1`, a log reader gone)
    // fails with EPIPE, which the writers ignore; it is no reason to end. Programs kestr
    // launches get the default back.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> arguments(argv, argv + argc);
    kestr::ProcessOutput output;
    return output.finish(kestr::ProcessEntry::run(arguments, kestr::UserEnvironment::processVariable, output));
}
