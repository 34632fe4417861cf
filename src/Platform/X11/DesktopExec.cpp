#include "Platform/X11/DesktopExec.h"

#include "Platform/X11/ExecLine.h"

#include <glib.h>

#include <signal.h>
#include <unistd.h>

#include <optional>
#include <string_view>

namespace kestr {

namespace {

bool takesItems(char code) { return code == 'u' || code == 'U' || code == 'f' || code == 'F'; }

using FieldCode = ExecLine::FieldCode;

std::string shellQuoted(const std::string& value) {
    gchar* quoted = g_shell_quote(value.c_str());
    std::string out = quoted;
    g_free(quoted);
    return out;
}

bool isUTF8(const std::string& value) {
    return g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr);
}

// Where a value holds its first character that is not plain text, npos when it holds
// none. Plain text is what no shell reads as more than text, however often it reads
// it: letters and digits (of any script, with their marks), and / : . - _ , + = @ %.
std::size_t firstNotText(const std::string& value) {
    if (!isUTF8(value)) return 0;
    for (const char* p = value.c_str(); *p; p = g_utf8_next_char(p)) {
        const auto c = static_cast<unsigned char>(*p);
        const bool text = c < 0x80
                              ? g_ascii_isalnum(c) || std::string_view("/:.-_,+=@%").find(*p) != std::string_view::npos
                              : g_unichar_isalnum(g_utf8_get_char(p)) || g_unichar_ismark(g_utf8_get_char(p));
        if (!text) return static_cast<std::size_t>(p - value.c_str());
    }
    return std::string::npos;
}

// "a", "b"
std::string listed(const std::vector<std::string>& values) {
    std::string out;
    for (const std::string& value : values) out += (out.empty() ? "\"" : ", \"") + value + "\"";
    return out;
}

// What one process's Exec line gets for a field code: the item (or items) it was given,
// `arguments` before the first items, the entry's name, file and icon. A code that is a
// word of its own outside quotes gets each value as one word; one that a shell or an
// interpreter would run gets nothing; anywhere else (in quotes, joined to other text)
// only plain text goes in, since a shell may read that text again in ways no quoting
// can foresee (arithmetic, eval, backticks, here-documents, [[ ]]).
class FieldValues {
public:
    FieldValues(const DesktopEntry& entry, const std::vector<std::string>& arguments,
                const std::vector<std::string>& batch)
        : entry_(entry), arguments_(arguments), batch_(batch) {}

    bool argumentsPlaced() const { return argumentsPlaced_; }
    std::vector<std::string>& withheld() { return withheld_; }

    std::string operator()(const FieldCode& code) {
        const std::string first = batch_.empty() ? "" : batch_.front();
        if (!code.wholeWord) {
            switch (code.letter) {
                case 'u':
                    return inWord(DesktopExec::asURL(first));
                case 'f':
                    return inWord(DesktopExec::asPath(first));
                case 'U':
                case 'F':
                    listInWord(code.letter);
                    return "";
                case 'c':
                    return inWord(entry_.name);
                case 'k':
                    return inWord(entry_.path);
                default:
                    return "";
            }
        }
        std::vector<std::string> words;
        if (takesItems(code.letter)) {
            if (!argumentsPlaced_) words = arguments_;
            argumentsPlaced_ = true;
            for (const std::string& item : batch_) words.push_back(itemFor(item, code.letter));
        } else if (code.letter == 'i' && !entry_.icon.empty()) {
            words = {"--icon", entry_.icon};
        } else if (code.letter == 'c') {
            words = {entry_.name};
        } else if (code.letter == 'k') {
            words = {entry_.path};
        }
        std::erase(words, "");
        if (code.program) {
            withholdAsProgram(words);
            return "";
        }
        std::string out;
        for (const std::string& word : words) {
            if (!out.empty()) out += ' ';
            out += shellQuoted(word);
        }
        return out;
    }

    // Values that a shell or an interpreter would run as its code.
    void withholdAsProgram(const std::vector<std::string>& values) {
        if (values.empty()) return;
        withheld_.push_back(entry_.path + " starts without " + listed(values) +
                            ": its Exec line would have a shell or an interpreter run it as code");
    }

private:
    static std::string itemFor(const std::string& item, char letter) {
        return letter == 'f' || letter == 'F' ? DesktopExec::asPath(item) : DesktopExec::asURL(item);
    }

    // A value within a word or quotes: as it is when it is plain text, else not at all.
    std::string inWord(const std::string& value) {
        const std::size_t notText = firstNotText(value);
        if (notText == std::string::npos) return value;
        const char* at = value.c_str() + notText;
        const std::string held =
            isUTF8(value) ? "the \"" + std::string(at, static_cast<const char*>(g_utf8_next_char(at))) + "\" it holds"
                          : "bytes of it that are not UTF-8";
        withheld_.push_back(entry_.path + " starts without \"" + value +
                            "\": its Exec line takes it inside quotes or joined to other text, where only plain "
                            "text goes, not " +
                            held);
        return "";
    }

    // A list of URLs or files inside a word cannot give each its own word.
    void listInWord(char letter) {
        if (batch_.empty()) return;
        std::vector<std::string> values;
        for (const std::string& item : batch_) values.push_back(itemFor(item, letter));
        withheld_.push_back(entry_.path + " starts without " + listed(values) + ": its Exec line takes them with %" +
                            std::string(1, letter) + " inside a word, where they cannot each be a word of their own");
    }

    const DesktopEntry& entry_;
    const std::vector<std::string>& arguments_;
    const std::vector<std::string>& batch_;
    bool argumentsPlaced_ = false;
    std::vector<std::string> withheld_;
};

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

std::variant<DesktopExec::Commands, std::string> DesktopExec::commands(const DesktopEntry& entry,
                                                                       const std::vector<std::string>& arguments,
                                                                       const std::vector<std::string>& items) {
    if (entry.exec.empty()) return "its desktop file " + entry.path + " has no Exec line";
    for (const std::string& item : items)
        if (item.starts_with("-")) return "\"" + item + "\" would reach " + entry.path + " as an option";

    // What the line takes: items at all, and one item per process (%u, %f).
    const ExecLine line(entry.exec);
    bool takesAny = false;
    bool single = false;
    for (const FieldCode& code : line.fieldCodes()) {
        if (code.letter == 0 || std::string_view("uUfFickdDnNvm").find(code.letter) == std::string_view::npos) {
            const std::string unknown = code.letter ? std::string{'%', code.letter} : "%";
            return "the Exec line of " + entry.path + " has an unknown field code in \"" + unknown + "\"";
        }
        takesAny = takesAny || takesItems(code.letter);
        single = single || (code.wholeWord && (code.letter == 'u' || code.letter == 'f'));
    }
    // Handed to a program that takes none, a URL would only start it once more.
    if (!items.empty() && !takesAny) return "its desktop file " + entry.path + " takes no URL or file";

    std::vector<std::vector<std::string>> batches;
    if (single && items.size() > 1) {
        for (const std::string& item : items) batches.push_back({item});
    } else {
        batches.push_back(items);
    }

    Commands out;
    for (const auto& batch : batches) {
        FieldValues values(entry, arguments, batch);
        const std::string expanded = line.expanded([&](const FieldCode& code) { return values(code); });
        int count = 0;
        gchar** parsed = nullptr;
        GError* error = nullptr;
        if (!g_shell_parse_argv(expanded.c_str(), &count, &parsed, &error)) {
            std::string why = "the Exec line of " + entry.path + " cannot be read (" +
                              (error ? std::string(error->message) : "no command") + ")";
            g_clear_error(&error);
            return why;
        }
        Command command(parsed, parsed + count);
        g_strfreev(parsed);
        if (!values.argumentsPlaced() && line.programAtEnd())
            values.withholdAsProgram(arguments);
        else if (!values.argumentsPlaced())
            command.insert(command.end(), arguments.begin(), arguments.end());
        for (std::string& why : values.withheld()) out.withheld.push_back(std::move(why));
        if (command.empty() || command.front().empty()) return "the Exec line of " + entry.path + " names no program";
        out.commands.push_back(std::move(command));
    }
    return out;
}

}  // namespace kestr
