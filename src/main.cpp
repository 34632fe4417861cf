// Process entry: hands the command line and the environment to the mode dispatch.
#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "App/ProcessEntry.h"
#include "Platform/UserEnvironment.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    kestr::ProcessOutput output;
    return kestr::ProcessEntry::run(arguments, kestr::UserEnvironment::processVariable, output);
}
