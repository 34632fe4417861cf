// A console output that keeps what the command-line modes write, so a test can read
// it back.
#pragma once

#include <string>

#include "App/ConsoleOutput.h"

namespace kestr {

class CapturedOutput final : public ConsoleOutput {
public:
    void out(const std::string& text) override { stdoutText += text; }
    void err(const std::string& text) override { stderrText += text; }
    std::string stdoutText;
    std::string stderrText;
};

}  // namespace kestr
