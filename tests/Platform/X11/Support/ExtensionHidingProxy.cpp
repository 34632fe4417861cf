#include "Platform/X11/Support/ExtensionHidingProxy.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace kestr::x11test {
namespace {

constexpr std::uint8_t kQueryExtension = 98;

std::uint32_t padded(std::uint32_t n) { return (n + 3) & ~3u; }

template <class T>
T read(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The server's socket "/tmp/.X11-unix/XN", in the abstract namespace when `abstract`.
int connectUnix(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// A lock file left by a process that has ended (a test program killed on the way) is
// taken over, as X servers do.
bool lockHolderLives(const std::string& lock) {
    int pid = 0;
    std::ifstream(lock) >> pid;
    return pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH;
}

struct Link {
    int client;
    int server;
    std::string pending;  // from the client, not yet a whole request
    bool setupSent = false;
    std::string held;  // whole requests not yet passed on
    std::chrono::steady_clock::time_point lastRequest;
};

// Forwards what the client sent, whole requests only, with the hidden extension's name
// altered in each QueryExtension; false once either side is gone or the stream is bad.
bool forwardRequests(Link& link, const std::string& hidden) {
    char buffer[65536];
    const ssize_t n = ::read(link.client, buffer, sizeof buffer);
    if (n <= 0) return false;
    link.pending.append(buffer, std::size_t(n));
    std::size_t at = 0;
    for (;;) {
        const char* p = link.pending.data() + at;
        const std::size_t left = link.pending.size() - at;
        std::size_t size = 0;
        if (!link.setupSent) {
            if (left < 12) break;
            size = 12 + padded(read<std::uint16_t>(p + 6)) + padded(read<std::uint16_t>(p + 8));
        } else {
            if (left < 4) break;
            size = std::size_t(read<std::uint16_t>(p + 2)) * 4;
            if (size == 0) {  // BIG-REQUESTS: the length follows in 32 bits
                if (left < 8) break;
                size = std::size_t(read<std::uint32_t>(p + 4)) * 4;
                if (size < 8) return false;
            }
        }
        if (left < size) break;
        if (link.setupSent && std::uint8_t(p[0]) == kQueryExtension && size >= 8) {
            const std::size_t length = read<std::uint16_t>(p + 4);
            if (8 + length <= size && std::string(p + 8, length) == hidden) link.pending[at + 8] ^= 0x20;
        }
        link.setupSent = true;
        at += size;
    }
    link.held.append(link.pending, 0, at);
    link.pending.erase(0, at);
    if (at) link.lastRequest = std::chrono::steady_clock::now();
    return true;
}

// Passes on the requests held once the client has been quiet for `hold`.
bool passHeld(Link& link, std::chrono::milliseconds hold) {
    if (link.held.empty() || std::chrono::steady_clock::now() - link.lastRequest < hold) return true;
    const bool sent = writeAll(link.server, link.held.data(), link.held.size());
    link.held.clear();
    return sent;
}

bool forwardReplies(const Link& link) {
    char buffer[65536];
    const ssize_t n = ::read(link.server, buffer, sizeof buffer);
    return n > 0 && writeAll(link.client, buffer, std::size_t(n));
}

}  // namespace

ExtensionHidingProxy::ExtensionHidingProxy(const std::string& serverDisplay, std::string hiddenExtension,
                                           std::chrono::milliseconds hold)
    : hidden_(std::move(hiddenExtension)), hold_(hold) {
    const std::string number = serverDisplay.substr(1, serverDisplay.find('.') - 1);
    serverSocket_ = "/tmp/.X11-unix/X" + number;
    // A display number as X servers take one: its lock file first, then the socket (in the
    // abstract namespace, where clients look first, so nothing is left on disk).
    for (int n = 300; n < 400 && listener_ < 0; ++n) {
        const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
        if (fd < 0 && errno == EEXIST && !lockHolderLives(lock)) {
            ::unlink(lock.c_str());
            fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
        }
        if (fd < 0) continue;
        char pid[16];
        const int written = std::snprintf(pid, sizeof pid, "%10d\n", int(::getpid()));
        const bool locked = ::write(fd, pid, std::size_t(written)) == written;
        ::close(fd);
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(n);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.data(), path.size());
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        if (locked && socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(socket, 8) == 0) {
            listener_ = socket;
            lockFile_ = lock;
            display_ = ":" + std::to_string(n);
        } else {
            if (socket >= 0) ::close(socket);
            ::unlink(lock.c_str());
        }
    }
    if (listener_ < 0) throw std::runtime_error("no display number is free for a proxy of " + serverDisplay);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { run(); });
}

ExtensionHidingProxy::~ExtensionHidingProxy() {
    const std::uint64_t one = 1;
    if (::write(stop_, &one, sizeof one) == sizeof one)
        thread_.join();
    else
        thread_.detach();
    ::close(stop_);
    ::close(listener_);
    ::unlink(lockFile_.c_str());
}

void ExtensionHidingProxy::run() {
    std::vector<Link> links;
    for (;;) {
        std::vector<pollfd> fds{{stop_, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const Link& l : links) {
            fds.push_back({l.client, POLLIN, 0});
            fds.push_back({l.server, POLLIN, 0});
        }
        const bool holding = std::any_of(links.begin(), links.end(), [](const Link& l) { return !l.held.empty(); });
        if (::poll(fds.data(), fds.size(), holding ? int(std::max<long>(1, hold_.count())) : -1) < 0)
            continue;  // interrupted
        if (fds[0].revents) break;
        for (std::size_t i = 0; i < links.size(); ++i) {
            Link& l = links[i];
            // A client gone with requests still held has them dropped.
            const bool open = (!fds[2 + 2 * i].revents || forwardRequests(l, hidden_)) && passHeld(l, hold_) &&
                              (!fds[3 + 2 * i].revents || forwardReplies(l));
            if (!open) {
                ::close(l.client);
                ::close(l.server);
                l.client = -1;
            }
        }
        std::erase_if(links, [](const Link& l) { return l.client < 0; });
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            int server = connectUnix(serverSocket_, true);
            if (server < 0) server = connectUnix(serverSocket_, false);
            if (client >= 0 && server >= 0) {
                links.push_back(Link{client, server, {}, false, {}, {}});
            } else {
                if (client >= 0) ::close(client);
                if (server >= 0) ::close(server);
            }
        }
    }
    for (const Link& l : links) {
        ::close(l.client);
        ::close(l.server);
    }
}

}  // namespace kestr::x11test
