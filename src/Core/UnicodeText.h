// Text operations that must follow Unicode rules rather than bytes: substring search
// under canonical equivalence, ICU regular expressions, and counting characters as a
// person sees them.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace kestr {

class UnicodeText {
public:
    UnicodeText() = delete;

    // Case-sensitive; canonically equivalent sequences (a precomposed letter and its
    // decomposed form) are equal. An empty part is found nowhere, and a match never
    // ends inside a combining sequence.
    static bool contains(const std::string& text, const std::string& part);
    // Whole-text equality under canonical equivalence; letter case counts.
    static bool equal(const std::string& a, const std::string& b);

    // Characters are grapheme clusters (a letter with its accents counts once).
    static std::size_t characterCount(const std::string& text);
    // The first `count` characters.
    static std::string characterPrefix(const std::string& text, std::size_t count);

    // A compiled ICU regular expression, without options.
    class Regex {
    public:
        // None when the pattern does not compile.
        static std::optional<Regex> compile(const std::string& pattern);
        // Whether the expression matches anywhere in the text (unanchored).
        bool findsMatch(const std::string& text) const;

        struct Impl;

    private:
        std::shared_ptr<const Impl> impl_;
    };
};

}  // namespace kestr
