#include "Platform/Posix/InotifyFileWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "Platform/Files.h"

namespace kestr {

namespace {

// What replaces, rewrites or removes a file in its folder.
constexpr std::uint32_t changes = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

}  // namespace

InotifyFileWatch::~InotifyFileWatch() {
    readable_.reset();
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<FileWatch::Watch> InotifyFileWatch::watch(const std::string& path, std::function<void()> changed) {
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) throw FileError("cannot watch " + path + ": " + std::strerror(errno));
        readable_ = actor_.watchReadable(fd_, [this] { readEvents(); });
    }
    std::vector<std::uint64_t> ids = {add(path, changed)};
    // A file that is a link (into a dotfiles repository, say) changes where it points.
    std::vector<char> resolved(PATH_MAX + 1, '\0');
    if (::realpath(path.c_str(), resolved.data()) && path != resolved.data()) {
        try {
            ids.push_back(add(resolved.data(), changed));
        } catch (const FileError&) {
            forget(ids.front());
            throw;
        }
    }
    return std::make_unique<Watch>([weak = std::weak_ptr<InotifyFileWatch*>(self_), ids] {
        if (auto self = weak.lock())
            for (const std::uint64_t id : ids) (*self)->forget(id);
    });
}

std::uint64_t InotifyFileWatch::add(const std::string& path, const std::function<void()>& changed) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int folderWatch = ::inotify_add_watch(fd_, folder.c_str(), changes);
    if (folderWatch < 0) throw FileError("cannot watch " + path + ": " + std::strerror(errno));
    const std::uint64_t id = nextID_++;
    watched_.emplace(id, Watched{folderWatch, name, changed});
    return id;
}

void InotifyFileWatch::forget(std::uint64_t id) {
    const auto it = watched_.find(id);
    if (it == watched_.end()) return;
    const int folder = it->second.folder;
    watched_.erase(it);
    // The folder's watch is shared by every file watched in it.
    for (const auto& [other, watched] : watched_)
        if (watched.folder == folder) return;
    ::inotify_rm_watch(fd_, folder);
}

void InotifyFileWatch::readEvents() {
    std::set<std::uint64_t> due;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) break;  // drained (EAGAIN), or nothing more to learn
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            // Events were lost, or a folder went: anything may have changed.
            const bool anything = (event->mask & (IN_Q_OVERFLOW | IN_IGNORED)) != 0;
            const std::string name = event->len ? std::string(event->name) : std::string();
            for (const auto& [id, watched] : watched_) {
                if ((event->mask & IN_Q_OVERFLOW) ||
                    (watched.folder == event->wd && (anything || watched.name == name)))
                    due.insert(id);
            }
        }
    }
    for (const std::uint64_t id : due) {
        // A call may end other watches.
        const auto it = watched_.find(id);
        if (it == watched_.end()) continue;
        const auto changed = it->second.changed;
        changed();
    }
}

}  // namespace kestr
