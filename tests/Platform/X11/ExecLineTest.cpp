// How an Exec line is read: its words as GLib's parser gives them, with the field codes
// they hold, and which words are code, in lines as desktop files write them and in odd ones.
#include <gtest/gtest.h>

#include "Platform/X11/ExecLine.h"

namespace kestr {
namespace {

// The words, code in brackets, and " [+]" when a word added at the end would be code;
// else why the line cannot be read.
std::string shown(const std::string& exec) {
    const auto read = ExecLine::read(exec);
    if (const auto* why = std::get_if<std::string>(&read)) return *why;
    std::string out;
    for (const ExecLine::Word& word : std::get<ExecLine>(read).words()) {
        std::string text;
        for (const ExecLine::Piece& piece : word.pieces)
            text += piece.letter ? std::string{'%', piece.letter} : piece.text;
        out += (out.empty() ? "" : " ") + (word.code ? "[" + text + "]" : text);
    }
    return std::get<ExecLine>(read).codeAtEnd() ? out + " [+]" : out;
}

TEST(ExecLineTest, TheProgramAndTheCodeAProgramOfTheLineRunsAreKnownFromItsWords) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"sh -c %u", "[sh] [-c] [%u] [+]"},
        {"/bin/bash -xc %f", "[/bin/bash] [-xc] [%f] [+]"},
        {"python3.12 -c %u", "[python3.12] [-c] [%u] [+]"},
        {"perl -w -e %u", "[perl] [-w] [-e] [%u] [+]"},
        {"env -i zsh -c -- %u", "[env] [-i] [zsh] [-c] [--] [%u] [+]"},
        // An option may take the word after it: only two words in a row that are no
        // options end the code.
        {"bash -O extglob -c %u %f", "[bash] [-O] [extglob] [-c] [%u] [%f]"},
        {"awk -F : %f", "[awk] [-F] [:] [%f]"},
        {"awk %f", "[awk] [%f]"},
        {"python3 /usr/bin/app.py --file %f", "[python3] [/usr/bin/app.py] --file %f"},
        {R"(sh -c 'exec app "$1"' sh %u)", R"([sh] [-c] [exec app "$1"] [sh] %u)"},
        {R"(sh -c "%u")", "[sh] [-c] [%u] [+]"},
        {"sh -c x%u", "[sh] [-c] [x%u] [+]"},
        {"sh -c cmd", "[sh] [-c] [cmd] [+]"},
        {"sh -c", "[sh] [-c] [+]"},
        {"bash -c -x", "[bash] [-c] [-x] [+]"},
        {"sh -", "[sh] [-] [+]"},
        {"sh +e -c %u", "[sh] [+e] [-c] [%u] [+]"},
        {"'sh' \"-c\" %u", "[sh] [-c] [%u] [+]"},
        // As GLib reads it: a "#" after an escaped blank starts a comment that ends with
        // the line, and the word goes on after it.
        {"sh -c echo\\ #\n%u", "[sh] [-c] [echo %u] [+]"},
        {"app %u # %f", "[app] %u"},
        // The program that env, busybox or nice run, and a shell found among another
        // program's words.
        {"env -S 'sh -c' %u", "[env] [-S] [sh -c] [%u]"},
        {"env %u", "[env] [%u]"},
        {"env A=1 app %u", "[env] [A=1] [app] %u"},
        {"env A=1 %u", "[env] [A=1] [%u]"},
        {"sudo -u root A=1 B= %f x", "[sudo] [-u] [root] [A=1] [B=] [%f] x"},
        {"busybox ash -c %u", "[busybox] [ash] [-c] [%u] [+]"},
        {"nice -n 5 sh -c %u", "[nice] [-n] [5] [sh] [-c] [%u] [+]"},
        {"xterm -e sh -c %u", "[xterm] -e [sh] [-c] [%u] [+]"},
        {"app --lang sh %u", "[app] --lang [sh] [%u]"},
        // By the file's name, with a version or not.
        {"zsh-5.9 -c %u", "[zsh-5.9] [-c] [%u] [+]"},
        {"luajit-2.1.0-beta3 app.lua %f", "[luajit-2.1.0-beta3] [app.lua] %f"},
        {"shell -c %u", "[shell] -c %u"},
        {"sh-tools %u", "[sh-tools] %u"},
        {"bash-static -c %u", "[bash-static] [-c] [%u] [+]"},
        {"/bin/bash.real -c %u", "[/bin/bash.real] [-c] [%u] [+]"},
        {"-c %u", "[-c] %u"},
        {"%u -c %u", "[%u] -c %u"},
        {"app \"%u\" '%f' \\%c --url=%u 100%%", "[app] %u %f %c --url=%u 100%"},
        {"app ''", "[app] "},
        // Judged as the program receives them: without what gives code nothing, the
        // deprecated codes anywhere and a field code joined to text.
        {"bash %d-c %u", "[bash] [-c] [%u] [+]"},
        {"sh %D -c '%n' %u", "[sh] [-c] [%u] [+]"},
        {"sh %u-c %U", "[sh] [%u-c] [%U] [+]"},
        {"app %m%u %v%F", "[app] %u %F"},
        // Lines that cannot be read.
        {"", "cannot be read (Text was empty (or contained only whitespace))"},
        {"   ", "cannot be read (Text was empty (or contained only whitespace))"},
        {"app \"%u", "cannot be read (Text ended before matching quote was found for \". (The text was “app \"%u”))"},
        {"app %z", "has an unknown field code in \"%z\""},
        {"app 100%", "has an unknown field code in \"%\""},
        {"app \x01\x02\x03\x04\x05\x06\x07\x08\x0b\x0c\r\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c"
         "\x1d\x1e\x1f",
         "cannot be read (it holds every control character)"},
    };
    for (const auto& [exec, expected] : cases) EXPECT_EQ(shown(exec), expected) << exec;
}

}  // namespace
}  // namespace kestr
