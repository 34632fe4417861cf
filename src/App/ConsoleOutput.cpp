#include "App/ConsoleOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestr {

namespace {

// 0, or the errno of the write that failed.
int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

void ProcessOutput::out(const std::string& text) {
    const int error = writeAll(1, text);
    if (!outError_ && error != EPIPE) outError_ = error;
}

// Nowhere left to report a failure of its own.
void ProcessOutput::err(const std::string& text) { writeAll(2, text); }

int ProcessOutput::finish(int status) {
    // What went through the C library's buffer, and what some file systems report only
    // when the file is closed.
    if (std::fflush(stdout) != 0 && !outError_ && errno != EPIPE) outError_ = errno;
    if (::close(1) != 0 && !outError_ && errno != EINTR && errno != EPIPE && errno != EBADF) outError_ = errno;
    if (!outError_) return status;
    err(std::string("kestr: cannot write to standard output: ") + std::strerror(outError_) + "\n");
    return 1;
}

}  // namespace kestr
