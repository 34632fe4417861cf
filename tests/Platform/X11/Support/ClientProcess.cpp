#include "ClientProcess.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kestr::x11test {
namespace {

Subprocess::Spec specOf(const std::string& display, const ClientOptions& options) {
    Subprocess::Spec spec;
    spec.arguments = clientArguments(options);
    spec.arguments.insert(spec.arguments.begin(), KESTR_TEST_CLIENT);
    spec.environment["DISPLAY"] = display;
    spec.pipeStdin = true;
    spec.pipeStdout = true;
    return spec;
}

}  // namespace

ClientProcess::ClientProcess(const std::string& display, ClientOptions options, xcb_connection_t* watcher)
    : options_(std::move(options)), watcher_(watcher), process_(specOf(display, options_)) {}

ClientProcess::~ClientProcess() {
    if (process_.running()) {
        send("quit");
        process_.closeStdin();
        if (!process_.waitExit(kDeadlineSeconds)) kill();
    }
}

void ClientProcess::readLines() {
    char buffer[1024];
    ssize_t n;
    while ((n = ::read(process_.stdoutFd(), buffer, sizeof buffer)) > 0)
        pending_.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        unsigned id = 0;
        if (std::sscanf(pending_.substr(0, end).c_str(), "window 0x%x", &id) == 1) {
            windows_.push_back(id);
            if (watcher_) {
                uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(watcher_, id, XCB_CW_EVENT_MASK, &mask);
                xcb_flush(watcher_);
            }
        }
        pending_.erase(0, end + 1);
    }
}

const std::vector<xcb_window_t>& ClientProcess::windows(double seconds) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (;;) {
        readLines();
        if (windows_.size() >= static_cast<size_t>(options_.windows)) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd fd{process_.stdoutFd(), POLLIN, 0};
        // The end of its output (the client gone) wakes this too.
        if (::poll(&fd, 1, static_cast<int>(left)) > 0 && (fd.revents & (POLLHUP | POLLERR)) && !(fd.revents & POLLIN))
            break;
    }
    return windows_;
}

xcb_window_t ClientProcess::window(double seconds) {
    const auto& all = windows(seconds);
    return all.empty() ? XCB_NONE : all.front();
}

void ClientProcess::send(const std::string& command) {
    if (process_.stdinFd() < 0) return;
    std::string line = command + "\n";
    // A client that is gone takes no more commands; the tests see that by its windows.
    [[maybe_unused]] ssize_t written = ::write(process_.stdinFd(), line.data(), line.size());
}

bool ClientProcess::waitExit(double seconds) { return process_.waitExit(seconds); }

void ClientProcess::kill() {
    process_.signal(SIGKILL);
    process_.waitExit(30);
}

}  // namespace kestr::x11test
