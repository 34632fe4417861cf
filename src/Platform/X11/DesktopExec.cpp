#include "Platform/X11/DesktopExec.h"

#include <glib.h>

#include <signal.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string_view>

namespace kestr {

namespace {

bool takesItems(char code) { return code == 'u' || code == 'U' || code == 'f' || code == 'F'; }

// Where a field code stands in the Exec line, as GLib's shell parser reads it.
enum class Quoting { none, single, twice };

struct FieldCode {
    char letter = 0;  // 0: a "%" at the end of the line
    Quoting quoting = Quoting::none;
    // Where it stands for a shell that runs its word (sh -c "echo '%u'"): inside the
    // quotes that word holds, or none.
    Quoting inner = Quoting::none;
    bool wholeWord = false;  // a word of its own, outside quotes
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The quoting a shell finds in one word of the Exec line, fed the word's characters as
// GLib's parser hands them over.
class InnerQuoting {
public:
    Quoting now() const { return quoting_; }
    void wordEnds() { *this = {}; }
    void read(char c) {
        if (escaped_) {
            escaped_ = false;
        } else if (quoting_ == Quoting::single) {
            if (c == '\'') quoting_ = Quoting::none;
        } else if (c == '\\') {
            escaped_ = true;
        } else if (c == '"') {
            quoting_ = quoting_ == Quoting::twice ? Quoting::none : Quoting::twice;
        } else if (c == '\'' && quoting_ == Quoting::none) {
            quoting_ = Quoting::single;
        }
    }

private:
    Quoting quoting_ = Quoting::none;
    bool escaped_ = false;
};

// What a backslash keeps its meaning before inside double quotes, for GLib's parser.
bool escapableInDoubleQuotes(char c) { return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n'; }

// What stands in a field code's place; none refuses the code.
using Replace = std::function<std::optional<std::string>(const FieldCode&)>;

// The Exec line with each field code replaced, the quoting around it followed as GLib's
// shell parser reads it; none when `replace` refuses one.
std::optional<std::string> expandLine(const std::string& exec, const Replace& replace) {
    std::string out;
    Quoting quoting = Quoting::none;
    InnerQuoting inner;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            out += '%';
            inner.read('%');
            ++i;
            continue;
        }
        if (c == '%') {
            FieldCode code;
            code.letter = i + 1 < exec.size() ? exec[i + 1] : 0;
            code.quoting = quoting;
            code.inner = inner.now();
            code.wholeWord = quoting == Quoting::none && (i == 0 || isBlank(exec[i - 1])) &&
                             (i + 2 >= exec.size() || isBlank(exec[i + 2]));
            const auto replaced = replace(code);
            if (!replaced) return std::nullopt;
            out += *replaced;
            ++i;
            continue;
        }
        out += c;
        if (quoting == Quoting::single) {
            if (c == '\'')
                quoting = Quoting::none;
            else
                inner.read(c);
        } else if (c == '\\' && i + 1 < exec.size()) {
            const char next = exec[++i];
            out += next;
            if (quoting == Quoting::twice && !escapableInDoubleQuotes(next)) {
                inner.read(c);
                inner.read(next);
            } else if (next != '\n') {
                inner.read(next);
            }
        } else if (c == '"') {
            quoting = quoting == Quoting::twice ? Quoting::none : Quoting::twice;
        } else if (c == '\'' && quoting == Quoting::none) {
            quoting = Quoting::single;
        } else if (quoting == Quoting::none && isBlank(c)) {
            inner.wordEnds();
        } else {
            inner.read(c);
        }
    }
    return out;
}

std::string shellQuoted(const std::string& value) {
    gchar* quoted = g_shell_quote(value.c_str());
    std::string out = quoted;
    g_free(quoted);
    return out;
}

// A value put where a field code stands, quoted for the shell as GIO quotes it: outside
// quotes the parser takes the quoting off again and the word holds the value as it is;
// inside quotes the word keeps the value quoted, so a shell that runs the word (sh -c
// "… %u …") reads it as one literal word, whatever it holds.
std::string placed(const std::string& value, Quoting quoting) {
    if (value.empty()) return "";
    const std::string quoted = shellQuoted(value);
    if (quoting == Quoting::none) return quoted;
    if (quoting == Quoting::single) return "'" + shellQuoted(quoted) + "'";
    std::string out;
    for (const char c : quoted) {
        if (c == '\\' || c == '"' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out;
}

// What a shell still reads inside single or double quotes.
constexpr std::string_view readInsideQuotes = "$`\\\"'";

// What one process's Exec line gets for a field code: the item (or items) it was given,
// `arguments` before the first items, the entry's name, file and icon.
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
                    return inWord(DesktopExec::asURL(first), code);
                case 'f':
                    return inWord(DesktopExec::asPath(first), code);
                case 'c':
                    return inWord(entry_.name, code);
                case 'k':
                    return inWord(entry_.path, code);
                default:
                    return "";
            }
        }
        std::vector<std::string> words;
        if (takesItems(code.letter)) {
            if (!argumentsPlaced_) words = arguments_;
            argumentsPlaced_ = true;
            const bool path = code.letter == 'f' || code.letter == 'F';
            for (const std::string& item : batch_)
                words.push_back(path ? DesktopExec::asPath(item) : DesktopExec::asURL(item));
        } else if (code.letter == 'i' && !entry_.icon.empty()) {
            words = {"--icon", entry_.icon};
        } else if (code.letter == 'c') {
            words = {entry_.name};
        } else if (code.letter == 'k') {
            words = {entry_.path};
        }
        std::string out;
        for (const std::string& word : words) {
            if (word.empty()) continue;
            if (!out.empty()) out += ' ';
            out += placed(word, Quoting::none);
        }
        return out;
    }

private:
    // A value within a word. Inside quotes that a shell running the word reads (sh -c
    // "echo '%u'"), quoting it once more would end those quotes: the value goes in as it
    // is, and only when it holds nothing the shell still reads there. Else the program
    // starts without it.
    std::string inWord(const std::string& value, const FieldCode& code) {
        if (code.inner == Quoting::none) return placed(value, code.quoting);
        const auto read = value.find_first_of(readInsideQuotes);
        if (read == std::string::npos) return code.quoting == Quoting::none ? placed(value, code.quoting) : value;
        withheld_.push_back(
            entry_.path + " starts without \"" + value +
            "\": its Exec line puts it inside quotes of a shell command, where the shell would still read the \"" +
            value[read] + "\" it holds");
        return "";
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
    bool takesAny = false;
    bool single = false;
    std::string unknown;
    const auto survey = [&](const FieldCode& code) -> std::optional<std::string> {
        if (code.letter == 0 || std::string_view("uUfFickdDnNvm").find(code.letter) == std::string_view::npos) {
            unknown = code.letter ? std::string{'%', code.letter} : "%";
            return std::nullopt;
        }
        takesAny = takesAny || takesItems(code.letter);
        single = single || (code.wholeWord && (code.letter == 'u' || code.letter == 'f'));
        return "";
    };
    if (!expandLine(entry.exec, survey))
        return "the Exec line of " + entry.path + " has an unknown field code in \"" + unknown + "\"";
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
        const std::string line = *expandLine(entry.exec, [&](const FieldCode& code) { return values(code); });
        for (std::string& why : values.withheld()) out.withheld.push_back(std::move(why));
        int count = 0;
        gchar** parsed = nullptr;
        GError* error = nullptr;
        if (!g_shell_parse_argv(line.c_str(), &count, &parsed, &error)) {
            std::string why = "the Exec line of " + entry.path + " cannot be read (" +
                              (error ? std::string(error->message) : "no command") + ")";
            g_clear_error(&error);
            return why;
        }
        Command command(parsed, parsed + count);
        g_strfreev(parsed);
        if (!values.argumentsPlaced()) command.insert(command.end(), arguments.begin(), arguments.end());
        if (command.empty() || command.front().empty()) return "the Exec line of " + entry.path + " names no program";
        out.commands.push_back(std::move(command));
    }
    return out;
}

}  // namespace kestr
