#include "Platform/X11/ExecLine.h"

#include <glib.h>

#include <array>
#include <charconv>
#include <string_view>

namespace kestr {

namespace {

using Piece = ExecLine::Piece;
using Word = ExecLine::Word;

constexpr std::string_view knownCodes = "uUfFickdDnNvm";
// Codes that launchers expand to nothing, wherever they stand.
constexpr std::string_view deprecatedCodes = "dDnNvm";

// Programs that run code given on their command line: shells and interpreters.
constexpr auto codeRunners = std::to_array<std::string_view>(
    {"sh",   "bash",   "dash", "ash",   "hush", "rbash",  "zsh",  "ksh",       "mksh",    "pdksh",  "oksh",  "lksh",
     "yash", "posh",   "csh",  "tcsh",  "fish", "rc",     "es",   "xonsh",     "elvish",  "nu",     "pwsh",  "python",
     "pypy", "perl",   "ruby", "jruby", "node", "nodejs", "deno", "bun",       "lua",     "luajit", "php",   "tclsh",
     "wish", "expect", "awk",  "gawk",  "mawk", "nawk",   "sed",  "osascript", "Rscript", "julia",  "guile", "java"});
// Programs that run a program named on their command line, whose words come next.
constexpr auto programRunners =
    std::to_array<std::string_view>({"env", "busybox", "toybox", "sudo", "doas", "pkexec", "nice", "nohup", "setsid"});

// A byte the line does not hold, to mark where its field codes stand: GLib's parser takes
// it as any other letter of a word, in quotes or not. 0 when the line holds them all.
char unusedMark(const std::string& exec) {
    for (char c = 1; c < ' '; ++c)
        if (c != '\t' && c != '\n' && exec.find(c) == std::string::npos) return c;
    return 0;
}

// The file's name is `base`, a version after it or not (python3.11, zsh-5.9, pypy3). A
// longer name also takes any build's suffix after "." or "-" (bash-static, bash.real): it
// is kept from values on a guess rather than run one. Two letters are too short a stem for
// that (sh-tools, rc-service are other programs).
bool named(std::string_view name, std::string_view base) {
    if (!name.starts_with(base)) return false;
    const std::string_view version = name.substr(base.size());
    const bool marked = version.starts_with('.') || version.starts_with('-');
    if (marked && version.size() > 1 && base.size() > 2) return true;
    const std::size_t digit = marked ? 1 : 0;
    return version.empty() || (version.size() > digit && g_ascii_isdigit(version[digit]));
}

enum class Runs { nothing, code, program };

Runs runs(const Word& word) {
    const std::string path = word.text();
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    for (std::string_view base : codeRunners)
        if (named(name, base)) return Runs::code;
    for (std::string_view base : programRunners)
        if (named(name, base)) return Runs::program;
    return Runs::nothing;
}

bool isOption(const Word& word) {
    const std::string text = word.text();
    return text.starts_with('-') || text.starts_with('+');
}

// A word that sets a variable (NAME=value): env and sudo take such words before the
// program they run.
bool isAssignment(const Word& word) { return !isOption(word) && word.text().find('=') != std::string::npos; }

}  // namespace

std::string ExecLine::Word::text() const {
    std::string out;
    for (const Piece& piece : pieces) out += piece.text;
    return out;
}

std::variant<ExecLine, std::string> ExecLine::read(const std::string& exec) {
    // Field codes are found wherever they stand, as GIO finds them.
    const char mark = unusedMark(exec);
    if (!mark) return "cannot be read (it holds every control character)";
    std::string letters;
    std::string marked;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%') {
            marked += exec[i];
            continue;
        }
        const char letter = i + 1 < exec.size() ? exec[++i] : 0;
        if (letter == '%') {
            marked += '%';
        } else if (letter && knownCodes.find(letter) != std::string_view::npos) {
            marked += mark + std::to_string(letters.size()) + mark;
            letters += letter;
        } else {
            return "has an unknown field code in \"" + (letter ? std::string{'%', letter} : "%") + "\"";
        }
    }
    // Between two marks stands the number of a field code.
    const auto pieces = [&](std::string_view text, const auto& take) {
        for (bool code = false;; code = !code) {
            const std::size_t end = text.find(mark);
            const std::string_view part = text.substr(0, end);
            std::size_t index = 0;
            if (code) std::from_chars(part.data(), part.data() + part.size(), index);
            take(code ? "" : std::string(part), code ? letters[index] : 0);
            if (end == std::string_view::npos) return;
            text.remove_prefix(end + 1);
        }
    };

    int count = 0;
    gchar** argv = nullptr;
    GError* error = nullptr;
    if (!g_shell_parse_argv(marked.c_str(), &count, &argv, &error)) {
        std::string why;
        pieces(error ? error->message : "no command", [&](std::string text, char letter) {
            why += letter ? std::string{'%', letter} : text;
        });
        g_clear_error(&error);
        return "cannot be read (" + why + ")";
    }
    ExecLine line;
    for (int i = 0; i < count; ++i) {
        Word& word = line.words_.emplace_back();
        bool deprecated = false;
        pieces(argv[i], [&](std::string text, char letter) {
            if (deprecatedCodes.find(letter) != std::string_view::npos) {
                deprecated = true;
            } else if (letter || !text.empty()) {
                word.pieces.push_back({std::move(text), letter});
            }
        });
        // A word of nothing but deprecated codes is no word at all (an empty one written
        // as '' stays).
        if (deprecated && word.pieces.empty()) line.words_.pop_back();
    }
    g_strfreev(argv);
    line.markCode();
    return line;
}

void ExecLine::markCode() {
    // One more word stands for what would be added at the end.
    words_.push_back(Word{{Piece{"", 'u'}}});
    words_.front().code = true;  // the program
    for (std::size_t i = 0; i < words_.size(); ++i) {
        const Runs kind = runs(words_[i]);
        if (kind == Runs::nothing) continue;
        // Its code runs up to and including a word that is no option and follows one that
        // is none either, its name included: that word is the code it runs or the script
        // it reads (sh -c 'code' name, perl script), whichever of its options take the
        // word after them.
        words_[i].code = true;
        bool afterOperand = true;
        for (std::size_t j = i + 1; j < words_.size(); ++j) {
            words_[j].code = true;
            if (kind == Runs::program && isAssignment(words_[j])) continue;
            const bool option = isOption(words_[j]);
            if (!option && afterOperand) break;
            afterOperand = !option;
        }
        // After a shell's or an interpreter's code come its own arguments; after env's
        // words, the program it runs may be one of them. The variables env sets
        // (NAME=value) stand before that program: code too, but they do not end it.
        if (kind == Runs::code) break;
    }
    codeAtEnd_ = words_.back().code;
    words_.pop_back();
}

}  // namespace kestr
