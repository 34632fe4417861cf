// Lines reach the system logger over one connection, reach it again after it restarts
// or comes back, and still reach standard error while there is none.
#include "Platform/Posix/SystemLog.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace kestr {
namespace {

// A logger listening on a socket of its own.
class Logger {
public:
    explicit Logger(const std::string& path) : path_(path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    ~Logger() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    // The lines received so far.
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;) out.emplace_back(buffer, std::size_t(n));
        return out;
    }

private:
    std::string path_;
    int fd_ = -1;
};

class SystemLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestr-log-XXXXXX";
        folder = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::unique_ptr<SystemLog> log(bool echo = false) {
        return std::make_unique<SystemLog>(SystemLog::Options{echo, folder + "/log", 10, [this] { return now; }});
    }

    std::string folder;
    double now = 100;
};

TEST_F(SystemLogTest, LinesReachTheLoggerAgainAfterItRestarts) {
    auto logger = std::make_unique<Logger>(folder + "/log");
    auto lines = log();
    lines->line("one");
    lines->line("two");
    auto got = logger->lines();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].substr(0, 4), "<13>");
    EXPECT_EQ(got[0].substr(got[0].find(" kestr[")), " kestr[" + std::to_string(::getpid()) + "]: one");

    logger.reset();
    logger = std::make_unique<Logger>(folder + "/log");
    lines->line("after the restart");
    got = logger->lines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NE(got[0].find("]: after the restart"), std::string::npos);
}

TEST_F(SystemLogTest, WithoutALoggerLinesGoToStderrAndTheLoggerIsAskedAgainLater) {
    auto lines = log(true);
    ::testing::internal::CaptureStderr();
    lines->line("nobody listens");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "nobody listens\n");

    // Not asked again at every line; once the wait is over, it is.
    Logger logger(folder + "/log");
    ::testing::internal::CaptureStderr();
    lines->line("too soon");
    now += 10;
    lines->line("back");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "too soon\nback\n");
    const auto got = logger.lines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NE(got[0].find("]: back"), std::string::npos);
}

}  // namespace
}  // namespace kestr
