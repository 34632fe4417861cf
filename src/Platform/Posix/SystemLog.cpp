#include "Platform/Posix/SystemLog.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kestr {

namespace {

// User-level messages (1) at the notice level (5).
constexpr int priority = 1 * 8 + 5;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SystemLog::SystemLog(bool echoToStderr) : SystemLog(Options{echoToStderr, "/dev/log", 10, nullptr}) {}

SystemLog::SystemLog(Options options) : options_(std::move(options)) {
    if (!options_.now) options_.now = steadySeconds;
}

SystemLog::~SystemLog() { disconnect(); }

void SystemLog::write(const std::string& text) {
    deliver(packet(text));
    if (options_.echoToStderr) {
        const std::string out = text + "\n";
        [[maybe_unused]] auto n = ::write(2, out.data(), out.size());
    }
}

std::string SystemLog::packet(const std::string& text) const {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char head[64];
    std::snprintf(head, sizeof head, "<%d>%s %2d %02d:%02d:%02d kestr[%d]: ", priority, months[local.tm_mon % 12],
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, int(::getpid()));
    return head + text;
}

bool SystemLog::deliver(const std::string& line) {
    if (socket_ < 0) {
        if (failedAt_ && options_.now() - *failedAt_ < options_.retrySeconds) return false;
        if (!connectToLogger()) return false;
    }
    if (sendLine(line)) return true;
    // The logger went away, or restarted and listens on a new socket: one fresh try.
    disconnect();
    return connectToLogger() && sendLine(line);
}

bool SystemLog::sendLine(const std::string& line) {
    // A logger that reads a stream takes the NUL that ends the string as the line's end.
    return ::send(socket_, line.c_str(), line.size() + (stream_ ? 1 : 0), MSG_NOSIGNAL) >= 0;
}

bool SystemLog::connectToLogger() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, options_.socketPath.c_str(), sizeof address.sun_path - 1);
    for (const int type : {SOCK_DGRAM, SOCK_STREAM}) {
        socket_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        if (socket_ < 0) break;
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            stream_ = type == SOCK_STREAM;
            failedAt_.reset();
            return true;
        }
        const bool otherType = errno == EPROTOTYPE;
        disconnect();
        if (!otherType) break;
    }
    failedAt_ = options_.now();
    return false;
}

void SystemLog::disconnect() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

}  // namespace kestr
