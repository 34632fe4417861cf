// The system log: one line at a time.
#pragma once

#include <string>

namespace kestr {

class Log {
public:
    virtual ~Log() = default;
    virtual void line(const std::string& text) = 0;
};

}  // namespace kestr
