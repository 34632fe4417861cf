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

    // The exit status once the run gave `status`: 1, with one line on standard error,
    // when writing standard output failed (closing it included). A reader that went
    // away (a broken pipe) is no failure: it asked for no more.
    int finish(int status);

private:
    int outError_ = 0;  // errno of the first failed write to standard output
};

}  // namespace kestr
