// The system log of a real process: each line goes to syslog under the name "kestr",
// and to standard error as well when asked.
#pragma once

#include <string>

#include "Platform/Log.h"

namespace kestr {

class SystemLog : public Log {
public:
    explicit SystemLog(bool echoToStderr = false);
    ~SystemLog() override;

protected:
    void write(const std::string& text) override;

private:
    bool echoToStderr_;
};

}  // namespace kestr
