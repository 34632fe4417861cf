// Process entry: hands the command line and the environment to the mode dispatch.
#include <cstdlib>
#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "App/ProcessEntry.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const auto environment = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (!value) return std::nullopt;
        return std::string(value);
    };
    kestr::ProcessOutput output;
    return kestr::ProcessEntry::run(arguments, environment, output);
}
