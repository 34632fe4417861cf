// A child process of the X11 tests (Xvfb, the window manager, a test client): spawned
// without a shell, waited for with deadlines, and never left behind — the destructor
// kills and reaps it, and so does a fatal signal in the test program.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestr::x11test {

class Subprocess {
public:
    struct Spec {
        std::vector<std::string> arguments;  // the program first, looked up on PATH
        // Changes to this process's environment: a value sets, nullopt removes.
        std::map<std::string, std::optional<std::string>> environment;
        bool pipeStdin = false;
        bool pipeStdout = false;
        std::string logFile;                         // standard error (and output unless piped); else inherited
        std::vector<std::pair<int, int>> passedFds;  // our descriptor → the child's number
    };

    // Throws std::runtime_error when the program cannot be started.
    explicit Subprocess(const Spec& spec);
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    pid_t pid() const { return pid_; }
    int stdinFd() const { return stdin_; }
    int stdoutFd() const { return stdout_; }  // non-blocking
    void closeStdin();

    bool running();
    void signal(int signal);
    // True once the process has ended (and been reaped) within the deadline.
    bool waitExit(double seconds);
    // SIGTERM (after SIGCONT, should it be stopped), then SIGKILL when it is not gone in time.
    void terminate(double seconds = 5);
    // Raw wait status, once ended.
    std::optional<int> status() const { return status_; }

private:
    bool reap();

    pid_t pid_ = -1;
    int pidfd_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::optional<int> status_;
};

// The program's full path on PATH, if it is there.
std::optional<std::string> findProgram(const std::string& name);

}  // namespace kestr::x11test
