#include "Platform/Posix/PosixFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <thread>

#include "Platform/FilePath.h"

namespace kestr {

namespace fs = std::filesystem;

namespace {

// As many links in a row as the system itself follows; a longer chain is a loop.
constexpr int maxLinks = 40;

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
    throw FileError(what + " " + path + ": " + std::strerror(err));
}

[[noreturn]] void fail(const std::string& what, const std::string& path, const std::error_code& ec) {
    throw FileError(what + " " + path + ": " + ec.message());
}

// Why a file that is not a regular one is refused.
std::string notRegular(mode_t mode) { return S_ISDIR(mode) ? std::strerror(EISDIR) : "not a regular file"; }

// Taken before main runs: a temporary file changed earlier than this belongs to a
// process that is gone or to a write that has stalled.
const fs::file_time_type processStart = fs::file_time_type::clock::now();

fs::path folderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// writeAtomically's temporary files for a target are "." + its name + ".tmp-", the
// writer's process id, "-" and six letters or digits that mkstemp chooses. Earlier
// versions wrote the six letters alone, with no process id.
std::string temporaryPrefix(const fs::path& target) { return "." + target.filename().string() + ".tmp-"; }
constexpr std::size_t temporarySuffixLength = 6;

bool isSuffix(std::string_view text) {
    return text.size() == temporarySuffixLength &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// Whether `name` is one of the target's temporary files; `writer` is the process id in
// its name, 0 for a name without one.
bool isTemporaryName(const std::string& name, const std::string& prefix, pid_t& writer) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
    const std::string_view rest = std::string_view(name).substr(prefix.size());
    writer = 0;
    if (isSuffix(rest)) return true;
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 9 || !isSuffix(rest.substr(dash + 1))) return false;
    pid_t pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9') return false;
        pid = pid * 10 + (c - '0');
    }
    writer = pid;
    return pid > 0;
}

// Whether a process that has ended, and that its parent has not yet waited for, has
// that id: it still answers kill(), but it writes nothing any more.
bool hasEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    // "pid (command) state …": the command may hold blanks and parentheses.
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && (line[close + 2] == 'Z' || line[close + 2] == 'X');
}

// Whether the process that wrote a temporary file may still rename it: a write takes
// milliseconds, but the writer may be any process sharing the folder.
bool writerMayRun(pid_t writer, fs::file_time_type changed) {
    if (writer == 0) return changed >= processStart;           // no id: an older write, judged by its time
    if (writer == ::getpid()) return changed >= processStart;  // an earlier process had our id
    return (::kill(writer, 0) == 0 || errno == EPERM) && !hasEnded(writer);
}

void syncDescriptor(int fd, const std::string& what, const std::string& path) {
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        fail(what, path, err);
    }
    ::close(fd);
}

// Writes all of `bytes`; false with errno set when the system refuses (a full disk
// gives ENOSPC, kept for the message).
bool writeAll(int fd, const char* bytes, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

std::string megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

// What a write to `path` replaces: links are followed one by one (a relative target
// read against its link's folder) to the file they end at, which may not exist yet.
struct WriteTarget {
    std::string path;
    std::optional<mode_t> existingMode;  // none: nothing there yet
};

WriteTarget writeTarget(const std::string& path) {
    WriteTarget target{path, std::nullopt};
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.path.c_str(), &st) != 0) {
            if (errno == ENOENT) return target;
            fail("cannot write", path, errno);
        }
        if (!S_ISLNK(st.st_mode)) {
            if (!S_ISREG(st.st_mode)) throw FileError("cannot write " + path + ": " + notRegular(st.st_mode));
            target.existingMode = st.st_mode & 07777;
            return target;
        }
        if (hops == maxLinks) fail("cannot write", path, ELOOP);
        std::error_code ec;
        const fs::path link = fs::read_symlink(target.path, ec);
        if (ec) fail("cannot write", path, ec);
        target.path = link.is_absolute() ? link.string() : (folderOf(fs::path(target.path)) / link).string();
    }
}

class DescriptorLock : public FileLock {
public:
    explicit DescriptorLock(int fd) : fd_(fd) {}
    ~DescriptorLock() override { ::close(fd_); }  // closing releases the lock

private:
    int fd_;
};

}  // namespace

std::vector<std::string> PosixFiles::applicationSupportDirectories() {
    if (folders_.applicationSupport.empty()) return {};
    return {folders_.applicationSupport};
}

bool PosixFiles::exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool PosixFiles::isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<FileInfo> PosixFiles::info(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileInfo{static_cast<std::int64_t>(st.st_size),
                    static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

std::string PosixFiles::read(const std::string& path) {
    // Non-blocking, so that opening a named pipe with no writer returns at once; it is
    // refused below like every other file that is not a regular one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) fail("cannot read", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        fail("cannot read", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError("cannot read " + path + ": " + notRegular(st.st_mode));
    }
    const auto tooLarge = [&] {
        ::close(fd);
        throw FileTooLargeError("cannot read " + path + ": larger than " + std::to_string(maxReadSize / (1024 * 1024)) +
                                " MB");
    };
    if (st.st_size > maxReadSize) tooLarge();
    std::string out;
    out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            fail("cannot read", path, err);
        }
        if (n == 0) break;
        out.append(buffer, static_cast<size_t>(n));
        // The file may grow while it is read.
        if (out.size() > static_cast<size_t>(maxReadSize)) tooLarge();
    }
    ::close(fd);
    return out;
}

void PosixFiles::syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("cannot sync", path, errno);
    syncDescriptor(fd, "cannot sync", path);
}

void PosixFiles::syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail("cannot sync folder", folder, errno);
    syncDescriptor(fd, "cannot sync folder", folder);
}

void PosixFiles::checkWritable(const std::string& path) { writeTarget(path); }

void PosixFiles::writeAtomically(const std::string& path, const std::string& bytes) {
    if (bytes.size() > static_cast<std::size_t>(maxWriteSize)) {
        throw FileTooLargeError("cannot write " + path + ": too large to read back (" + megabytes(bytes.size()) +
                                "; the limit is " + megabytes(maxWriteSize) + ")");
    }
    // A link stays a link (it may point into a folder the user keeps elsewhere), and
    // the file it names is the one replaced.
    const WriteTarget destination = writeTarget(path);
    const fs::path target(destination.path);
    const fs::path folder = folderOf(target);
    std::string tmpl = (folder / (temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                                  std::string(temporarySuffixLength, 'X')))
                           .string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) fail("cannot write", path, errno);
    const std::string tmp(name.data());
    // A file the user made private stays private.
    const mode_t mode = destination.existingMode.value_or(0644);
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        fail("cannot write", path, err);
    }
    ::close(fd);
    if (::rename(tmp.c_str(), destination.path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        fail("cannot write", path, err);
    }
    // Until the folder is on the disk, a power loss may bring back the old name.
    syncFolder(folder.string());
}

std::vector<std::string> PosixFiles::leftoverTemporaries(const std::string& path) {
    // A write through a link leaves its temporaries beside the file the link names.
    std::string written = path;
    try {
        written = writeTarget(path).path;
    } catch (const FileError&) {
        // Nothing a write would replace: looked for beside the path as given.
    }
    const fs::path target(written);
    const std::string prefix = temporaryPrefix(target);
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code statusError;
        pid_t writer = 0;
        if (!isTemporaryName(it->path().filename().string(), prefix, writer) || !it->is_regular_file(statusError) ||
            it->is_symlink(statusError)) {
            continue;
        }
        const auto changed = fs::last_write_time(it->path(), statusError);
        if (!statusError && !writerMayRun(writer, changed)) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

void PosixFiles::copy(const std::string& from, const std::string& to) {
    if (exists(to)) fail("cannot copy to", to, EEXIST);
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) fail("cannot copy", from, errno);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int err = errno;
        ::close(in);
        fail("cannot copy", from, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(in);
        throw FileError("cannot copy " + from + ": " + notRegular(st.st_mode));
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        fail("cannot copy to", to, err);
    }
    // Byte by byte through a buffer, so that the error the system gives (a full disk
    // among them) is the one reported.
    int err = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || (n > 0 && !writeAll(out, buffer, static_cast<std::size_t>(n)))) {
            err = errno;
            break;
        }
        if (n == 0) break;
    }
    ::close(in);
    if (::close(out) != 0 && err == 0) err = errno;
    if (err != 0) {
        ::unlink(to.c_str());
        fail("cannot copy", from, err);
    }
    try {
        syncFile(to);
    } catch (const FileError&) {
        ::unlink(to.c_str());
        throw;
    }
}

void PosixFiles::move(const std::string& from, const std::string& to) {
    if (exists(to)) fail("cannot move to", to, EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot move", from, errno);
}

void PosixFiles::replace(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot move", from, errno);
    syncFolder(folderOf(fs::path(to)).string());
}

void PosixFiles::remove(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) fail("cannot remove", path, ENOENT);
    fs::remove_all(path, ec);
    if (ec) fail("cannot remove", path, ec);
}

void PosixFiles::createDirectories(const std::string& path) {
    // Through a link whose folder is not there yet, that folder is the one made.
    std::error_code ec;
    fs::create_directories(resolved(path), ec);
    if (ec) fail("cannot create folder", path, ec);
    if (!isDirectory(path)) fail("cannot create folder", path, ENOTDIR);
}

std::string PosixFiles::resolved(const std::string& path) {
    std::string current = path;
    for (int link = 0; link <= maxLinks; ++link) {
        if (char* real = ::realpath(current.c_str(), nullptr)) {
            std::string out = real;
            std::free(real);
            return out;
        }
        std::error_code ec;
        const fs::path target = fs::read_symlink(current, ec);
        if (!ec) {
            current = target.is_absolute() ? target.string() : joinPath(parentFolder(current), target.string());
            continue;
        }
        // Not there yet: the folder it would be made in, resolved, and its own name.
        const std::string parent = parentFolder(current);
        if (ec != std::errc::no_such_file_or_directory || parent.empty() || parent == current) return current;
        return fs::path(joinPath(resolved(parent), fileName(current))).lexically_normal().string();
    }
    return path;
}

std::vector<std::string> PosixFiles::list(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    if (ec) fail("cannot list", folder, ec);
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<FileLock> PosixFiles::lock(const std::string& path, double patience) {
    // Never through a link: the lock would be taken on some other file.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && errno == ELOOP) throw FileError("cannot lock " + path + ": it is a link");
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError("cannot lock " + path + ": not a regular file");
    }
    const auto giveUpAt = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(patience));
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= giveUpAt) {
            ::close(fd);
            if (err == EWOULDBLOCK) throw FileLockedError("cannot lock " + path + ": held by another process");
            fail("cannot lock", path, err);
        }
        // The holder is another kestr loading or saving, which takes milliseconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::make_unique<DescriptorLock>(fd);
}

}  // namespace kestr
