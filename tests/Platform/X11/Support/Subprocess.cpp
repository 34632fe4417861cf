#include "Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>

extern char** environ;

namespace kestr::x11test {
namespace {

// Children to kill should the test program die of a signal: plain slots, since the
// handler may only touch what is async-signal-safe.
constexpr int kSlots = 64;
std::atomic<pid_t> livingChildren[kSlots];
constexpr int kFatalSignals[] = {SIGABRT, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction previousActions[std::size(kFatalSignals)];

void killChildrenAndDie(int signal) {
    for (auto& slot : livingChildren)
        if (pid_t pid = slot.load(); pid > 0) ::kill(pid, SIGKILL);
    for (size_t i = 0; i < std::size(kFatalSignals); ++i)
        if (kFatalSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
    // A fault happens again on return and reaches the earlier handler (the sanitiser's report);
    // any other signal is raised again for it.
    if (signal != SIGSEGV && signal != SIGBUS && signal != SIGFPE && signal != SIGILL) raise(signal);
}

void remember(pid_t pid) {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (size_t i = 0; i < std::size(kFatalSignals); ++i) {
            struct sigaction action {};
            action.sa_handler = killChildrenAndDie;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_NODEFER;
            sigaction(kFatalSignals[i], &action, &previousActions[i]);
            // A signal this program was started ignoring stays ignored.
            if (previousActions[i].sa_handler == SIG_IGN) sigaction(kFatalSignals[i], &previousActions[i], nullptr);
        }
    });
    for (auto& slot : livingChildren) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) return;
    }
}

void forget(pid_t pid) {
    for (auto& slot : livingChildren) {
        pid_t expected = pid;
        if (slot.compare_exchange_strong(expected, 0)) return;
    }
}

std::vector<std::string> environmentWith(const std::map<std::string, std::optional<std::string>>& changes) {
    std::vector<std::string> result;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (!changes.count(entry.substr(0, entry.find('=')))) result.push_back(entry);
    }
    for (const auto& [name, value] : changes)
        if (value) result.push_back(name + "=" + *value);
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::runtime_error failure(const std::string& what) { return std::runtime_error(what + ": " + std::strerror(errno)); }

}  // namespace

std::optional<std::string> findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0 ? std::optional(name) : std::nullopt;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

Subprocess::Subprocess(const Spec& spec) {
    auto program = findProgram(spec.arguments.at(0));
    if (!program) throw std::runtime_error(spec.arguments[0] + " is not installed (not found on PATH)");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int inPipe[2] = {-1, -1};
    int outPipe[2] = {-1, -1};
    if (spec.pipeStdin) {
        if (::pipe2(inPipe, O_CLOEXEC) != 0) throw failure("pipe");
        posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    }
    if (spec.pipeStdout) {
        if (::pipe2(outPipe, O_CLOEXEC) != 0) throw failure("pipe");
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    }
    if (!spec.logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, spec.logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        if (!spec.pipeStdout) posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    }
    for (auto [ours, theirs] : spec.passedFds) posix_spawn_file_actions_adddup2(&actions, ours, theirs);

    std::vector<std::string> arguments = spec.arguments;
    std::vector<std::string> environment = environmentWith(spec.environment);
    auto argv = pointersTo(arguments);
    auto envp = pointersTo(environment);
    int error = posix_spawn(&pid_, program->c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {inPipe[0], outPipe[1]})
        if (fd >= 0) ::close(fd);
    stdin_ = inPipe[1];
    stdout_ = outPipe[0];
    if (error != 0) {
        errno = error;
        if (stdin_ >= 0) ::close(stdin_);
        if (stdout_ >= 0) ::close(stdout_);
        throw failure("cannot start " + *program);
    }
    remember(pid_);
    if (stdout_ >= 0) ::fcntl(stdout_, F_SETFL, ::fcntl(stdout_, F_GETFL) | O_NONBLOCK);
    // A writer that outlives its reader must not kill the test program.
    if (stdin_ >= 0) ::signal(SIGPIPE, SIG_IGN);
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

Subprocess::~Subprocess() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        waitExit(30);
    }
    closeStdin();
    for (int fd : {stdout_, pidfd_})
        if (fd >= 0) ::close(fd);
}

void Subprocess::closeStdin() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
}

bool Subprocess::reap() {
    if (status_) return true;
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        status_ = r == pid_ ? status : -1;
        forget(pid_);
        return true;
    }
    return false;
}

bool Subprocess::running() { return !reap(); }

void Subprocess::signal(int signal) {
    if (!reap()) ::kill(pid_, signal);
}

bool Subprocess::waitExit(double seconds) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!reap()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        if (pidfd_ >= 0) {
            pollfd fd{pidfd_, POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(left));
        } else {
            // Kernels before 5.3 have no process descriptor to wait on.
            ::poll(nullptr, 0, static_cast<int>(std::min<long long>(left, 10)));
        }
    }
    return true;
}

void Subprocess::terminate(double seconds) {
    signal(SIGCONT);
    signal(SIGTERM);
    if (!waitExit(seconds)) {
        signal(SIGKILL);
        waitExit(30);
    }
}

}  // namespace kestr::x11test
