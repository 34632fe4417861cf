// The system log of a real process: each line goes to the local system logger's socket
// under the name "kestr" with the process id, and to standard error as well when asked.
//
// One connection serves every line. Where no logger listens, a line costs nothing more:
// the logger is asked again only once `retrySeconds` have passed (a busy apply writes
// hundreds of lines, and each would otherwise make and drop a socket). A logger that
// restarts is reached again at the next line.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Platform/Log.h"

namespace kestr {

class SystemLog : public Log {
public:
    struct Options {
        bool echoToStderr = false;
        std::string socketPath = "/dev/log";
        double retrySeconds = 10;
        // A steady clock in seconds; none: the process's own.
        std::function<double()> now;
    };

    explicit SystemLog(bool echoToStderr = false);
    explicit SystemLog(Options options);
    ~SystemLog() override;
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

protected:
    void write(const std::string& text) override;

private:
    // The line as the logger reads it: priority, local time stamp, "kestr[pid]: ", text.
    std::string packet(const std::string& text) const;
    bool deliver(const std::string& packet);
    bool sendLine(const std::string& packet);
    bool connectToLogger();
    void disconnect();

    Options options_;
    int socket_ = -1;
    bool stream_ = false;  // the logger reads a stream, not datagrams
    std::optional<double> failedAt_;
};

}  // namespace kestr
