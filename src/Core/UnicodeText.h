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
    // The canonical decomposition of a UTF-8 text, as code points; none when the bytes
    // are not UTF-8. Two texts are canonically equivalent (letter case counting)
    // exactly when their forms are equal. Costs time linear in the text's length,
    // however its combining marks are ordered.
    static std::optional<std::u32string> canonicalForm(const std::string& text);

    // A name as shown among other text (menus, lists, cards): control characters, line
    // and paragraph separators and the characters that embed, override or isolate a
    // direction become a visible mark (U+FFFD), and the whole is isolated (U+2068 …
    // U+2069), so that a name never reorders the text around it nor is reversed itself.
    // Bytes that are not UTF-8 become U+FFFD too.
    static std::string isolatedForDisplay(const std::string& text);

    // Characters are grapheme clusters (a letter with its accents counts once).
    static std::size_t characterCount(const std::string& text);
    // The first `count` characters.
    static std::string characterPrefix(const std::string& text, std::size_t count);

    // A compiled ICU regular expression, without options.
    class Regex {
    public:
        // None when the pattern does not compile.
        static std::optional<Regex> compile(const std::string& pattern);
        enum class Search { found, notFound, gaveUp };
        // Whether the expression matches anywhere in the text (unanchored). Some
        // patterns take exponential time on some texts ("(.*)*(.*)*X"); a search that
        // runs past a few tens of milliseconds' worth of steps, or needs more than a
        // megabyte of backtracking, gives up.
        Search search(const std::string& text) const;

        struct Impl;

    private:
        std::shared_ptr<const Impl> impl_;
    };
};

}  // namespace kestr
