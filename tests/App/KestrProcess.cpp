#include "App/KestrProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kestr::test {

namespace {

// A run that has not ended by then is killed, so a hanging program fails its test
// instead of stalling the suite.
constexpr unsigned watchdogSeconds = 60;

std::vector<std::string> childEnvironment(const KestrHome& home) {
    std::vector<std::string> env = {
        "HOME=" + home.home(),
        "XDG_DATA_HOME=" + home.dataHome(),
        "XDG_STATE_HOME=" + home.stateHome(),
        "KESTR_SIM_DESKTOP=" + home.scenarioPath(),
    };
    // The sanitizer settings of the test run apply to the program too.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    return env;
}

// Appends what is available on `fd`; false at the end of the output.
bool drain(int fd, std::string& into) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

// Waits until one of the open descriptors has data and reads it.
void readSome(int& outFd, int& errFd, ProcessResult& result) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) return;
        throw std::runtime_error("poll failed");
    }
    if (outFd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !drain(outFd, result.out)) {
        ::close(outFd);
        outFd = -1;
    }
    if (errFd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) && !drain(errFd, result.err)) {
        ::close(errFd);
        errFd = -1;
    }
}

}  // namespace

KestrHome::KestrHome() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/kestr-e2e-XXXXXX";
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary home");
    home_ = tmpl;
    scenario_ = home_ + "/sim-desktop.json";
}

KestrHome::~KestrHome() {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

std::unique_ptr<KestrHome::Child> KestrHome::start(const std::vector<std::string>& arguments,
                                                   const std::string& workingDirectory) const {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");

    std::vector<std::string> argv = {KESTR_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argp;
    for (auto& a : argv) argp.push_back(a.data());
    argp.push_back(nullptr);
    std::vector<std::string> env = childEnvironment(*this);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string directory = workingDirectory.empty() ? home_ : workingDirectory;

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (::chdir(directory.c_str()) != 0) ::_exit(126);
        ::alarm(watchdogSeconds);  // survives exec
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    auto child = std::make_unique<Child>();
    child->pid_ = pid;
    child->outFd_ = out[0];
    child->errFd_ = err[0];
    return child;
}

KestrHome::Child::~Child() {
    if (outFd_ >= 0) ::close(outFd_);
    if (errFd_ >= 0) ::close(errFd_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool KestrHome::Child::waitForOutput(const std::string& text) {
    while (result_.out.find(text) == std::string::npos) {
        if (outFd_ < 0) return false;
        readSome(outFd_, errFd_, result_);
    }
    return true;
}

void KestrHome::Child::signal(int number) const { ::kill(pid_, number); }

ProcessResult KestrHome::Child::finish() {
    while (outFd_ >= 0 || errFd_ >= 0) readSome(outFd_, errFd_, result_);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result_;
}

ProcessResult KestrHome::run(const std::vector<std::string>& arguments, const std::string& workingDirectory) const {
    return start(arguments, workingDirectory)->finish();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace kestr::test
