#include "Platform/X11/ExecLine.h"

#include <cstddef>
#include <string_view>

namespace kestr {

namespace {

using Quoting = ExecLine::Quoting;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
// What ends a word for a shell besides blanks.
bool isOperator(char c) { return std::string_view(";&|()<>").find(c) != std::string_view::npos; }
// What a backslash keeps its meaning before inside double quotes.
bool escapableInDoubleQuotes(char c) { return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n'; }

// The words a reader with a shell's quoting finds in symbols, and for each field code
// the quotes around it and the word it stands in. GLib's parser reads the Exec line
// so; a shell also ends words at its operators.
template <typename Symbol>
struct Reading {
    struct Word {
        std::vector<Symbol> symbols;  // as the reader hands them on
        bool composed = false;        // quotes or a backslash in it
    };
    struct Place {
        Quoting quoting = Quoting::none;
        std::size_t word = 0;
    };
    std::vector<Word> words;
    std::vector<Place> places;  // by field code index

    Reading(const std::vector<Symbol>& in, std::size_t codes, bool operators) : places(codes) {
        Quoting quoting = Quoting::none;
        Word word;
        bool started = false;
        const auto take = [&](const Symbol& s) {
            if (s.code >= 0) places[static_cast<std::size_t>(s.code)] = {quoting, words.size()};
            word.symbols.push_back(s);
            started = true;
        };
        const auto end = [&] {
            if (started) words.push_back(std::move(word));
            word = {};
            started = false;
        };
        for (std::size_t i = 0; i < in.size(); ++i) {
            const Symbol& s = in[i];
            const bool plain = s.code < 0;
            if (!plain) {
                take(s);
            } else if (quoting == Quoting::single) {
                if (s.c == '\'')
                    quoting = Quoting::none;
                else
                    take(s);
            } else if (quoting == Quoting::twice) {
                if (s.c == '"') {
                    quoting = Quoting::none;
                } else if (s.c == '\\' && i + 1 < in.size() && in[i + 1].code < 0 &&
                           escapableInDoubleQuotes(in[i + 1].c)) {
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
            } else if (isBlank(s.c) || (operators && isOperator(s.c))) {
                end();
            } else {
                take(s);
            }
        }
        end();
    }
};

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
    const Reading<Symbol> line(symbols_, codes_.size(), false);
    for (std::size_t k = 0; k < codes_.size(); ++k) {
        FieldCode& code = codes_[k];
        const auto& place = line.places[k];
        const auto& word = line.words[place.word];
        code.quoting = place.quoting;
        code.plainWord = !word.composed;
        code.wholeWord = code.quoting == Quoting::none && code.plainWord && word.symbols.size() == 1;
        const Reading<Symbol> shell(word.symbols, codes_.size(), true);
        const auto& inner = shell.places[k];
        code.inner = inner.quoting;
        code.innerPlainWord = !shell.words[inner.word].composed;
    }
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
