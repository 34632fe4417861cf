#include "Platform/Posix/SystemLog.h"

#include <syslog.h>
#include <unistd.h>

namespace kestr {

SystemLog::SystemLog(bool echoToStderr) : echoToStderr_(echoToStderr) { ::openlog("kestr", LOG_PID, LOG_USER); }

SystemLog::~SystemLog() { ::closelog(); }

void SystemLog::write(const std::string& text) {
    ::syslog(LOG_NOTICE, "%s", text.c_str());
    if (echoToStderr_) {
        const std::string out = text + "\n";
        [[maybe_unused]] auto n = ::write(2, out.data(), out.size());
    }
}

}  // namespace kestr
