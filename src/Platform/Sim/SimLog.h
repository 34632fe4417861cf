// The log of the simulated desktop: every line is kept, and passed on to another log
// when one is given.
#pragma once

#include <string>
#include <vector>

#include "Platform/Log.h"

namespace kestr {

class SimLog : public Log {
public:
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // Where every line also goes: the program passes the system log, tests nothing.
    Log* forwardTo = nullptr;

protected:
    void write(const std::string& text) override;

private:
    std::vector<std::string> lines_;
};

}  // namespace kestr
