#include "Platform/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestr {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
    throw FileError(what + " " + path + ": " + std::strerror(err));
}

[[noreturn]] void fail(const std::string& what, const std::string& path, const std::error_code& ec) {
    throw FileError(what + " " + path + ": " + ec.message());
}

// Why a file that is not a regular one is refused.
std::string notRegular(mode_t mode) { return S_ISDIR(mode) ? std::strerror(EISDIR) : "not a regular file"; }

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
        throw FileTooLargeError("cannot read " + path + ": larger than " +
                                std::to_string(maxReadSize / (1024 * 1024)) + " MB");
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

void PosixFiles::writeAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmpl = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) fail("cannot write", path, errno);
    const std::string tmp(name.data());
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            fail("cannot write", path, err);
        }
        written += static_cast<size_t>(n);
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        fail("cannot write", path, err);
    }
    ::close(fd);
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        fail("cannot write", path, err);
    }
}

void PosixFiles::copy(const std::string& from, const std::string& to) {
    if (exists(to)) fail("cannot copy to", to, EEXIST);
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0) fail("cannot copy", from, errno);
    if (!S_ISREG(st.st_mode)) throw FileError("cannot copy " + from + ": " + notRegular(st.st_mode));
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::none, ec);
    if (ec) fail("cannot copy", from, ec);
}

void PosixFiles::move(const std::string& from, const std::string& to) {
    if (exists(to)) fail("cannot move to", to, EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot move", from, errno);
}

void PosixFiles::replace(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot move", from, errno);
}

void PosixFiles::remove(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) fail("cannot remove", path, ENOENT);
    fs::remove_all(path, ec);
    if (ec) fail("cannot remove", path, ec);
}

void PosixFiles::createDirectories(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) fail("cannot create folder", path, ec);
    if (!isDirectory(path)) fail("cannot create folder", path, ENOTDIR);
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

}  // namespace kestr
