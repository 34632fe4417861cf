#include "Platform/X11/Support/SessionBus.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "Platform/X11/Support/WaitUntil.h"

namespace kestr::x11test {

SessionBus::SessionBus() {
    if (!findProgram("dbus-daemon")) throw std::runtime_error("dbus-daemon is not installed (scripts/bootstrap)");
    char pattern[] = "/tmp/kestr-x11-bus-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no folder for the session bus");
    folder_ = pattern;
    Subprocess::Spec spec;
    // The session configuration, but listening in our folder only.
    spec.arguments = {"dbus-daemon", "--session",         "--nofork",
                      "--nopidfile", "--print-address=1", "--address=unix:dir=" + folder_};
    spec.pipeStdout = true;
    spec.logFile = folder_ + "/log.txt";
    daemon_ = std::make_unique<Subprocess>(spec);
    const auto start = std::chrono::steady_clock::now();
    char buffer[512];
    while (address_.find('\n') == std::string::npos) {
        const double left =
            kDeadlineSeconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (left <= 0 || !daemon_->running()) throw std::runtime_error("dbus-daemon did not say its address");
        pollfd fd{daemon_->stdoutFd(), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left * 1000));
        for (ssize_t n; (n = read(daemon_->stdoutFd(), buffer, sizeof buffer)) > 0;) address_.append(buffer, n);
    }
    address_.resize(address_.find('\n'));
}

SessionBus::~SessionBus() {
    daemon_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace kestr::x11test
