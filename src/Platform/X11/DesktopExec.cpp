#include "Platform/X11/DesktopExec.h"

#include <glib.h>

#include <signal.h>
#include <unistd.h>

#include <optional>

namespace kestr {

namespace {

bool takesItems(const std::string& argument) {
    return argument == "%u" || argument == "%U" || argument == "%f" || argument == "%F";
}

// Field codes inside a longer argument; none when one is unknown.
std::optional<std::string> expandInside(const std::string& argument, const DesktopEntry& entry,
                                        const std::string& item) {
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != '%') {
            out += argument[i];
            continue;
        }
        if (i + 1 == argument.size()) return std::nullopt;
        switch (argument[++i]) {
            case '%':
                out += '%';
                break;
            case 'c':
                out += entry.name;
                break;
            case 'k':
                out += entry.path;
                break;
            case 'u':
                out += DesktopExec::asURL(item);
                break;
            case 'f':
                out += DesktopExec::asPath(item);
                break;
            case 'U':
            case 'F':
            case 'i':
            case 'd':
            case 'D':
            case 'n':
            case 'N':
            case 'v':
            case 'm':
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

// The launch noted in the new process's environment as other launchers note it, built
// before the fork: the child may only fill in its own pid, in room kept for it.
class LaunchEnvironment {
public:
    LaunchEnvironment(const DesktopEntry& entry, const std::string& display) {
        gchar** variables = g_get_environ();
        if (!display.empty()) variables = g_environ_setenv(variables, "DISPLAY", display.c_str(), TRUE);
        variables = g_environ_setenv(variables, "GIO_LAUNCHED_DESKTOP_FILE", entry.path.c_str(), TRUE);
        variables = g_environ_unsetenv(variables, "GIO_LAUNCHED_DESKTOP_FILE_PID");
        for (gchar** v = variables; *v; ++v) strings_.emplace_back(*v);
        g_strfreev(variables);
        strings_.push_back(pidPrefix + std::string(20, '\0'));
        for (std::string& s : strings_) pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
        pidDigits_ = strings_.back().data() + pidPrefix.size();
    }
    char** envp() { return pointers_.data(); }
    char* pidDigits() const { return pidDigits_; }

private:
    static inline const std::string pidPrefix = "GIO_LAUNCHED_DESKTOP_FILE_PID=";
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
    char* pidDigits_ = nullptr;
};

// In the new process, between fork and exec, so only async-signal-safe calls: its pid
// noted, and nothing of kestr's own signal handling or terminal passed on. kestr blocks
// its quit signals and ignores SIGPIPE; a launched program gets the default mask and
// dispositions, or Ctrl-C, closing its terminal and kill would not reach it. A session
// of its own keeps a Ctrl-C at kestr's terminal from reaching it.
void prepareChild(gpointer data) {
    char* digits = static_cast<LaunchEnvironment*>(data)->pidDigits();
    char reversed[20];
    int count = 0;
    for (long pid = static_cast<long>(getpid()); pid > 0 && count < 20; pid /= 10) reversed[count++] = '0' + pid % 10;
    while (count > 0) *digits++ = reversed[--count];
    *digits = '\0';

    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_IGN) continue;
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        sigaction(signal, &standard, nullptr);
    }
    setsid();
}

}  // namespace

std::variant<std::int32_t, std::string> DesktopExec::start(const Command& command, const DesktopEntry& entry,
                                                           const std::string& display, const std::string& home) {
    LaunchEnvironment environment(entry, display);
    std::vector<gchar*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<gchar*>(word.c_str()));
    argv.push_back(nullptr);
    // No terminal of ours: output and input go nowhere, so a pipe that reads kestr's
    // output ends when kestr does, not when the last launched program does.
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDIN_FROM_DEV_NULL |
                                                G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);
    const std::string folder = !entry.workingFolder.empty() ? entry.workingFolder
                               : !home.empty()              ? home
                                                            : g_get_home_dir();
    GPid pid = 0;
    GError* error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD GLib starts the program from an intermediate
    // process, so it is no child of ours and leaves no zombie.
    if (!g_spawn_async(folder.c_str(), argv.data(), environment.envp(), flags, prepareChild, &environment, &pid,
                       &error)) {
        std::string why = error ? error->message : "the program could not be started";
        g_clear_error(&error);
        return why;
    }
    return static_cast<std::int32_t>(pid);
}

std::string DesktopExec::asURL(const std::string& item) {
    if (item.empty() || item.front() != '/') return item;
    gchar* uri = g_filename_to_uri(item.c_str(), nullptr, nullptr);
    std::string out = uri ? uri : item;
    g_free(uri);
    return out;
}

std::string DesktopExec::asPath(const std::string& item) {
    if (item.rfind("file://", 0) != 0) return item;
    gchar* path = g_filename_from_uri(item.c_str(), nullptr, nullptr);
    std::string out = path ? path : item;
    g_free(path);
    return out;
}

std::variant<std::vector<DesktopExec::Command>, std::string> DesktopExec::commands(
    const DesktopEntry& entry, const std::vector<std::string>& arguments, const std::vector<std::string>& items) {
    if (entry.exec.empty()) return "its desktop file " + entry.path + " has no Exec line";
    for (const std::string& item : items)
        if (item.starts_with("-")) return "\"" + item + "\" would reach " + entry.path + " as an option";
    int count = 0;
    gchar** parsed = nullptr;
    GError* error = nullptr;
    if (!g_shell_parse_argv(entry.exec.c_str(), &count, &parsed, &error)) {
        std::string why = "the Exec line of " + entry.path + " cannot be read (" +
                          (error ? std::string(error->message) : "no command") + ")";
        g_clear_error(&error);
        return why;
    }
    const Command words(parsed, parsed + count);
    g_strfreev(parsed);

    // %u and %f take one item: one process per item.
    bool single = false;
    for (const std::string& w : words) single = single || w == "%u" || w == "%f";
    std::vector<std::vector<std::string>> batches;
    if (single && items.size() > 1) {
        for (const std::string& item : items) batches.push_back({item});
    } else {
        batches.push_back(items);
    }

    std::vector<Command> out;
    for (const auto& batch : batches) {
        Command command;
        bool argumentsPlaced = false;
        for (const std::string& w : words) {
            if (takesItems(w)) {
                if (!argumentsPlaced) command.insert(command.end(), arguments.begin(), arguments.end());
                argumentsPlaced = true;
                const bool path = w == "%f" || w == "%F";
                for (const std::string& item : batch) command.push_back(path ? asPath(item) : asURL(item));
            } else if (w == "%i") {
                if (!entry.icon.empty()) command.insert(command.end(), {"--icon", entry.icon});
            } else if (auto expanded = expandInside(w, entry, batch.empty() ? "" : batch.front())) {
                if (!expanded->empty() || w.empty()) command.push_back(*expanded);
            } else {
                return "the Exec line of " + entry.path + " has an unknown field code in \"" + w + "\"";
            }
        }
        if (!argumentsPlaced) command.insert(command.end(), arguments.begin(), arguments.end());
        if (command.empty() || command.front().empty()) return "the Exec line of " + entry.path + " names no program";
        out.push_back(std::move(command));
    }
    return out;
}

}  // namespace kestr
