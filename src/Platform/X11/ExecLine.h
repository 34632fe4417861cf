// A desktop file's Exec line read once, by GLib's own shell parser, with each field code
// (%u, %F, …) standing in it as a placeholder: the words the program starts with, the
// field codes each holds, and which words are code, where no value may go: the program
// itself, and for a program that runs code given on its command line (a shell, an
// interpreter, env), its words up to and including the code it runs or the script it
// reads. Values go into these words as they are, and nothing reads them again. A word is
// judged by its text without its field codes, as the program receives it: a word of code
// gets nothing for them, and one that is no code may get plain text for them, but where
// no program of the line runs it. The deprecated codes (%d, %n, …) give nothing anywhere:
// they are gone before the line is judged.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace kestr {

class ExecLine {
public:
    // Text, or a field code.
    struct Piece {
        std::string text;
        char letter = 0;  // the field code's letter; 0: text
    };
    struct Word {
        std::vector<Piece> pieces;
        bool code = false;
        // The field code that is the whole word, else 0.
        char alone() const { return pieces.size() == 1 ? pieces.front().letter : 0; }
        // Its text without its field codes.
        std::string text() const;
    };

    // The line read, or why it cannot be, as "has an unknown field code in …" or
    // "cannot be read (…)".
    static std::variant<ExecLine, std::string> read(const std::string& exec);

    const std::vector<Word>& words() const { return words_; }
    // A word added at the end of the line would be code (the line ends in "sh -c").
    bool codeAtEnd() const { return codeAtEnd_; }

private:
    void markCode();

    std::vector<Word> words_;
    bool codeAtEnd_ = false;
};

}  // namespace kestr
