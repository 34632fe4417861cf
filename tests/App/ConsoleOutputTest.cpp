// Standard output whose writes fail and succeed in a given order: its file descriptor is
// swapped between writes for one that refuses writes or a pipe that takes them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "App/ConsoleOutput.h"

namespace kestr {
namespace {

std::string drained(int fd) {
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

TEST(ProcessOutputTest, AnyFailedWriteFailsTheRunWhateverWritesCameAfter) {
    struct Case {
        std::vector<bool> writable;  // per write to standard output
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{true, true}, 0, "1\n2\n"},
        {{false, true}, 1, "2\n"},
        {{true, false}, 1, "1\n"},
        {{false, true, true}, 1, "2\n3\n"},
    };
    for (const Case& c : cases) {
        std::fflush(stdout);
        const int savedOut = ::dup(1);
        const int savedErr = ::dup(2);
        const int refusing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        int out[2], err[2];
        ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
        ::dup2(err[1], 2);
        ProcessOutput output;
        for (std::size_t i = 0; i < c.writable.size(); ++i) {
            ::dup2(c.writable[i] ? out[1] : refusing, 1);
            output.out(std::to_string(i + 1) + "\n");
        }
        const int status = output.finish(0);
        ::dup2(savedOut, 1);
        ::dup2(savedErr, 2);
        for (const int fd : {savedOut, savedErr, refusing, out[1], err[1]}) ::close(fd);

        EXPECT_EQ(status, c.status);
        EXPECT_EQ(drained(out[0]), c.out);
        EXPECT_EQ(drained(err[0]), c.status ? "kestr: cannot write to standard output: Bad file descriptor\n" : "");
        ::close(out[0]);
        ::close(err[0]);
    }
}

}  // namespace
}  // namespace kestr
