#include "App/ConsoleOutput.h"

#include <unistd.h>

#include <cerrno>

namespace kestr {

namespace {

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report it
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

void ProcessOutput::out(const std::string& text) { writeAll(1, text); }
void ProcessOutput::err(const std::string& text) { writeAll(2, text); }

}  // namespace kestr
