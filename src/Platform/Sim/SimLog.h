// The log of the simulated desktop: every line is kept, and echoed to standard error
// when asked.
#pragma once

#include <string>
#include <vector>

#include "Platform/Log.h"

namespace kestr {

class SimLog : public Log {
public:
    void line(const std::string& text) override;
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    bool echoToStderr = false;

private:
    std::vector<std::string> lines_;
};

}  // namespace kestr
