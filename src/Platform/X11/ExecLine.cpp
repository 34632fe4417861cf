#include "Platform/X11/ExecLine.h"

#include <cstddef>
#include <string_view>

namespace kestr {

namespace {

enum class Quoting { none, single, twice };

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
// What a backslash keeps its meaning before inside double quotes.
bool escapableInDoubleQuotes(char c) { return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n'; }

// A word of the line as GLib's parser hands it on.
struct Word {
    std::string text;       // without quotes and backslashes; its field codes left out
    bool composed = false;  // quotes or a backslash in it
    int codes = 0;          // field codes in it
};

// Programs that run code given on their command line after -c or -e: shells and the
// common interpreters, by the name of their file without a version (python3.12).
bool runsCode(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    while (!name.empty() && (name.back() == '.' || (name.back() >= '0' && name.back() <= '9'))) name.pop_back();
    for (const char* known : {"sh", "bash", "dash", "zsh", "ksh", "fish", "python", "perl", "ruby", "node"})
        if (name == known) return true;
    return false;
}

// Whether word `k` (words.size(): one added at the end) is the code a shell or an
// interpreter runs: the options right before it hold a short one with "c" or "e" in it
// (-c, -ec, -e, -c -x, -c --), and a word before them names a shell or interpreter.
// A word that only looks so (sh -c 'cmd' -e %u, where %u is $1) counts too: nothing
// is lost but a value such a line would have put at risk.
bool isProgram(const std::vector<Word>& words, std::size_t k) {
    std::size_t i = k;
    bool runOption = false;
    for (; i > 0 && words[i - 1].codes == 0 && words[i - 1].text.starts_with('-'); --i) {
        const std::string& option = words[i - 1].text;
        if (option.size() > 1 && option[1] != '-' && option.find_first_of("ce") != std::string::npos) runOption = true;
    }
    if (!runOption) return false;
    for (std::size_t j = 0; j < i; ++j)
        if (words[j].codes == 0 && runsCode(words[j].text)) return true;
    return false;
}

}  // namespace

ExecLine::ExecLine(const std::string& exec) {
    // Field codes are found wherever they stand, as GIO finds them, but not where a
    // backslash outside single quotes takes the "%" as it is.
    Quoting quoting = Quoting::none;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '%') {
            const char letter = i + 1 < exec.size() ? exec[++i] : 0;
            if (letter == '%') {
                symbols_.push_back({'%'});
            } else {
                symbols_.push_back({0, static_cast<int>(codes_.size())});
                codes_.push_back({letter});
            }
            continue;
        }
        symbols_.push_back({c});
        if (quoting == Quoting::single) {
            if (c == '\'') quoting = Quoting::none;
        } else if (c == '\\' && i + 1 < exec.size()) {
            symbols_.push_back({exec[++i]});
        } else if (c == '"') {
            quoting = quoting == Quoting::twice ? Quoting::none : Quoting::twice;
        } else if (c == '\'' && quoting == Quoting::none) {
            quoting = Quoting::single;
        }
    }

    // The words, as GLib's parser splits the line, and the word of each field code.
    std::vector<Word> words;
    std::vector<std::size_t> wordOf(codes_.size());
    quoting = Quoting::none;
    Word word;
    bool started = false;
    const auto take = [&](const Symbol& s) {
        if (s.code >= 0) {
            wordOf[static_cast<std::size_t>(s.code)] = words.size();
            ++word.codes;
        } else {
            word.text += s.c;
        }
        started = true;
    };
    const auto end = [&] {
        if (started) words.push_back(std::move(word));
        word = {};
        started = false;
    };
    const std::vector<Symbol>& in = symbols_;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Symbol& s = in[i];
        if (s.code >= 0) {
            take(s);
        } else if (quoting == Quoting::single) {
            if (s.c == '\'')
                quoting = Quoting::none;
            else
                take(s);
        } else if (quoting == Quoting::twice) {
            if (s.c == '"') {
                quoting = Quoting::none;
            } else if (s.c == '\\' && i + 1 < in.size() && in[i + 1].code < 0 && escapableInDoubleQuotes(in[i + 1].c)) {
                if (in[++i].c != '\n') take(in[i]);
            } else {
                take(s);
            }
        } else if (s.c == '\\') {
            word.composed = started = true;
            if (i + 1 < in.size() && (in[i + 1].code >= 0 || in[i + 1].c != '\n')) take(in[i + 1]);
            ++i;
        } else if (s.c == '\'' || s.c == '"') {
            quoting = s.c == '\'' ? Quoting::single : Quoting::twice;
            word.composed = started = true;
        } else if (isBlank(s.c)) {
            end();
        } else {
            take(s);
        }
    }
    end();

    for (std::size_t k = 0; k < codes_.size(); ++k) {
        FieldCode& code = codes_[k];
        const Word& w = words[wordOf[k]];
        // Quotes make a word composed, so a code inside them is never a word of its own.
        code.wholeWord = !w.composed && w.text.empty() && w.codes == 1;
        code.program = code.wholeWord && isProgram(words, wordOf[k]);
    }
    programAtEnd_ = isProgram(words, words.size());
}

std::string ExecLine::expanded(const std::function<std::string(const FieldCode&)>& replace) const {
    std::string out;
    for (const Symbol& s : symbols_) {
        if (s.code >= 0)
            out += replace(codes_[static_cast<std::size_t>(s.code)]);
        else
            out += s.c;
    }
    return out;
}

}  // namespace kestr
