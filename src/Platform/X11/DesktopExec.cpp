#include "Platform/X11/DesktopExec.h"

#include "Platform/X11/ExecLine.h"

#include <glib.h>

#include <signal.h>
#include <unistd.h>

#include <string_view>

namespace kestr {

namespace {

bool takesItems(char code) { return code == 'u' || code == 'U' || code == 'f' || code == 'F'; }

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
// word of its own gets each value as one word; one in code gets nothing; one joined to
// other text only plain text, since the program may well read that word again (a
// terminal's command, a remote shell's).
class FieldValues {
public:
    FieldValues(const DesktopEntry& entry, const std::vector<std::string>& arguments,
                const std::vector<std::string>& batch)
        : entry_(entry), arguments_(arguments), batch_(batch) {}

    bool argumentsPlaced() const { return argumentsPlaced_; }
    std::vector<std::string>& withheld() { return withheld_; }

    // A field code that is a whole word: its words.
    std::vector<std::string> words(char letter) {
        std::vector<std::string> out;
        if (takesItems(letter) && !argumentsPlaced_) {
            out = arguments_;
            argumentsPlaced_ = true;
        }
        for (std::string& value : values(letter)) out.push_back(std::move(value));
        return out;
    }

    // A field code joined to other text: its text.
    std::string inWord(char letter) {
        if (letter == 'U' || letter == 'F') {
            listInWord(letter);
            return "";
        }
        const std::vector<std::string> all = letter == 'i' ? std::vector<std::string>{} : values(letter);
        return all.empty() ? "" : plainText(all.front());
    }

    // Values that a program would run as code, or as the program itself.
    void withholdAsCode(const std::vector<std::string>& values) {
        if (values.empty()) return;
        withheld_.push_back(entry_.path + " starts without " + listed(values) + ": its Exec line would run it as code");
    }
    std::string inCode(char letter) {
        withholdAsCode(values(letter));
        return "";
    }

private:
    std::vector<std::string> values(char letter) const {
        std::vector<std::string> out;
        if (takesItems(letter)) {
            for (const std::string& item : batch_)
                out.push_back(letter == 'f' || letter == 'F' ? DesktopExec::asPath(item) : DesktopExec::asURL(item));
        } else if (letter == 'i' && !entry_.icon.empty()) {
            out = {"--icon", entry_.icon};
        } else if (letter == 'c') {
            out = {entry_.name};
        } else if (letter == 'k') {
            out = {entry_.path};
        }
        std::erase(out, "");
        return out;
    }

    // A value within a word: as it is when it is plain text, else not at all.
    std::string plainText(const std::string& value) {
        const std::size_t notText = firstNotText(value);
        if (notText == std::string::npos) return value;
        const char* at = value.c_str() + notText;
        const std::string held =
            isUTF8(value) ? "the \"" + std::string(at, static_cast<const char*>(g_utf8_next_char(at))) + "\" it holds"
                          : "bytes of it that are not UTF-8";
        withheld_.push_back(entry_.path + " starts without \"" + value +
                            "\": its Exec line takes it joined to other text, where only plain text goes, not " + held);
        return "";
    }

    // A list of URLs or files inside a word cannot give each its own word.
    void listInWord(char letter) {
        const std::vector<std::string> all = values(letter);
        if (all.empty()) return;
        withheld_.push_back(entry_.path + " starts without " + listed(all) + ": its Exec line takes them with %" +
                            std::string(1, letter) + " inside a word, where they cannot each be a word of their own");
    }

    const DesktopEntry& entry_;
    const std::vector<std::string>& arguments_;
    const std::vector<std::string>& batch_;
    bool argumentsPlaced_ = false;
    std::vector<std::string> withheld_;
};

// One process's command: the line's words with the values put in, and the arguments
// where the line takes its URLs or files, else at its end.
DesktopExec::Command commandOf(const ExecLine& line, FieldValues& values, const std::vector<std::string>& arguments) {
    DesktopExec::Command command;
    std::vector<std::size_t> gaps;  // code words that give the program nothing
    std::size_t valuesEnd = 0;      // the words up to the last that holds a value
    for (const ExecLine::Word& word : line.words()) {
        std::vector<std::string> words;
        bool valued = false;
        if (const char letter = word.alone()) {
            words = values.words(letter);
            if (word.code) {
                values.withholdAsCode(words);
                words.clear();
            }
            valued = !words.empty();
        } else {
            std::string& text = words.emplace_back();
            for (const ExecLine::Piece& piece : word.pieces) {
                const std::string value = !piece.letter ? ""
                                          : word.code   ? values.inCode(piece.letter)
                                                        : values.inWord(piece.letter);
                valued = valued || !value.empty();
                text += piece.letter ? value : piece.text;
            }
            // A word of field codes alone that gives nothing is no word, as other
            // launchers leave it out ('' written in the line stays).
            if (text.empty() && !word.pieces.empty()) words.clear();
        }
        if (words.empty() && word.code) {  // a gap in code, until the end is known
            gaps.push_back(command.size());
            words = {""};
        }
        command.insert(command.end(), words.begin(), words.end());
        if (valued) valuesEnd = command.size();
    }
    if (!values.argumentsPlaced() && line.codeAtEnd()) {
        values.withholdAsCode(arguments);
    } else if (!values.argumentsPlaced() && !arguments.empty()) {
        command.insert(command.end(), arguments.begin(), arguments.end());
        valuesEnd = command.size();
    }
    // A gap in code goes too, with no value or a value withheld there, unless a word that
    // holds a value comes after it: code was found by its place, and that value would
    // move into it (`bash -c %u %f %f` would run the file's path, and so would
    // `sh -c %i %i %f` without an icon). After the last such word only the desktop file's
    // own text moves, as with other launchers. The program's own word stays, so an empty
    // one is refused.
    for (auto gap = gaps.rbegin(); gap != gaps.rend(); ++gap)
        if (*gap >= valuesEnd && *gap > 0) command.erase(command.begin() + static_cast<std::ptrdiff_t>(*gap));
    return command;
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

std::variant<DesktopExec::Commands, std::string> DesktopExec::commands(const DesktopEntry& entry,
                                                                       const std::vector<std::string>& arguments,
                                                                       const std::vector<std::string>& items) {
    if (entry.exec.empty()) return "its desktop file " + entry.path + " has no Exec line";
    for (const std::string& item : items)
        if (item.starts_with("-")) return "\"" + item + "\" would reach " + entry.path + " as an option";

    auto read = ExecLine::read(entry.exec);
    if (const auto* why = std::get_if<std::string>(&read)) return "the Exec line of " + entry.path + " " + *why;
    const ExecLine& line = std::get<ExecLine>(read);

    // What the line takes: items at all, and one item per process (%u, %f).
    bool takesAny = false;
    bool single = false;
    for (const ExecLine::Word& word : line.words()) {
        for (const ExecLine::Piece& piece : word.pieces) {
            takesAny = takesAny || takesItems(piece.letter);
            single = single || piece.letter == 'u' || piece.letter == 'f';
        }
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
        Command command = commandOf(line, values, arguments);
        for (std::string& why : values.withheld()) out.withheld.push_back(std::move(why));
        if (command.empty() || command.front().empty()) return "the Exec line of " + entry.path + " names no program";
        out.commands.push_back(std::move(command));
    }
    return out;
}

}  // namespace kestr
