// Where the command-line modes write: standard output and standard error, one
// unbuffered UTF-8 write per line or block. Tests capture it instead
// (tests/Support/CapturedOutput.h).
#pragma once

#include <string>

namespace kestr {

class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;
    virtual void out(const std::string& text) = 0;
    virtual void err(const std::string& text) = 0;
};

// Writes straight to file descriptors 1 and 2.
class ProcessOutput final : public ConsoleOutput {
public:
    void out(const std::string& text) override;
    void err(const std::string& text) override;
};

}  // namespace kestr
