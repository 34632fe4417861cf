#include "Core/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "Platform/PrintableText.h"

namespace kestr {

namespace {

icu::UnicodeString toICU(const std::string& s) { return icu::UnicodeString::fromUTF8(s); }

template <class Visit>
void forEachCharacterEnd(const icu::UnicodeString& text, Visit visit) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) {
        // Without break data fall back to code points.
        for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
            if (!visit(text.moveIndex32(i, 1))) return;
        }
        return;
    }
    it->setText(text);
    it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; end = it->next()) {
        if (!visit(end)) return;
    }
}

// Printable ASCII is one character per byte; most texts are, and grapheme
// segmentation is not cheap.
bool isPlainASCII(const std::string& text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

// Below this many marks a run is sorted by insertion; longer runs by counting, which
// costs a fixed pass over the 256 classes but stays linear however the marks alternate.
constexpr std::size_t shortRun = 32;

// Sorts text[from, to) stably by combining class (`classes` runs beside the text and
// is left stale for the run: nothing reads it again).
void orderRun(std::u32string& text, std::vector<std::uint8_t>& classes, std::size_t from, std::size_t to) {
    if (to - from < shortRun) {
        for (std::size_t i = from + 1; i < to; ++i) {
            const char32_t c = text[i];
            const std::uint8_t k = classes[i];
            std::size_t j = i;
            for (; j > from && classes[j - 1] > k; --j) {
                text[j] = text[j - 1];
                classes[j] = classes[j - 1];
            }
            text[j] = c;
            classes[j] = k;
        }
        return;
    }
    std::array<std::size_t, 257> start{};
    for (std::size_t i = from; i < to; ++i) ++start[classes[i] + 1u];
    for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
    std::u32string sorted(to - from, U'\0');
    for (std::size_t i = from; i < to; ++i) sorted[start[classes[i]]++] = text[i];
    std::copy(sorted.begin(), sorted.end(), text.begin() + static_cast<std::ptrdiff_t>(from));
}

}  // namespace

// ICU's normaliser puts combining marks in order by insertion, which a long run of
// marks of alternating classes makes quadratic; here ICU only gives each code point's
// decomposition and class, and the runs of marks are sorted here.
std::optional<std::u32string> UnicodeText::canonicalForm(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) nfd = nullptr;
    std::u32string out;
    out.reserve(text.size());
    std::vector<std::uint8_t> classes;
    classes.reserve(text.size());
    icu::UnicodeString mapping;
    const auto append = [&](UChar32 c) {
        out.push_back(static_cast<char32_t>(c));
        classes.push_back(u_getCombiningClass(c));
    };
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t length = text.size();
    for (std::size_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return std::nullopt;
        if (c < 0x80 || !nfd || !nfd->getDecomposition(c, mapping)) {
            append(c);
            continue;
        }
        for (int32_t at = 0; at < mapping.length(); at = mapping.moveIndex32(at, 1)) append(mapping.char32At(at));
    }
    for (std::size_t i = 0; i < out.size();) {
        if (classes[i] == 0) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < out.size() && classes[end] != 0) ++end;
        orderRun(out, classes, i, end);
        i = end;
    }
    return out;
}

namespace {

// The canonical composition of a canonical form (what NFC gives for the same text):
// each mark that nothing blocks from the last starter is folded into it when the two
// have a composite. One pass, since the marks arrive already in order.
std::u32string composedForm(std::u32string text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return text;
    std::size_t kept = 0;
    std::optional<std::size_t> starter;
    std::uint8_t lastClass = 0;  // of the last character kept after the starter
    for (const char32_t c : text) {
        const std::uint8_t cls = u_getCombiningClass(static_cast<UChar32>(c));
        if (starter) {
            const bool adjacent = *starter + 1 == kept;
            const bool blocked = !adjacent && (lastClass == 0 || lastClass >= cls);
            if (!blocked) {
                const UChar32 composite =
                    nfc->composePair(static_cast<UChar32>(text[*starter]), static_cast<UChar32>(c));
                if (composite >= 0) {
                    text[*starter] = static_cast<char32_t>(composite);
                    continue;
                }
            }
        }
        if (cls == 0) starter = kept;
        lastClass = cls;
        text[kept++] = c;
    }
    text.resize(kept);
    return text;
}

// The composed form of a UTF-8 text; bytes that are not UTF-8 read as U+FFFD, as ICU
// reads them.
std::u32string composedForm(const std::string& text) {
    if (auto form = UnicodeText::canonicalForm(text)) return composedForm(std::move(*form));
    std::string repaired;
    toICU(text).toUTF8String(repaired);
    return composedForm(UnicodeText::canonicalForm(repaired).value_or(std::u32string()));
}

// Where `part` ends in `text`, each place it is found, in order (Knuth–Morris–Pratt:
// linear in both, whatever repeats in them). `found` returns false to stop.
template <class Found>
void forEachMatchEnd(const std::u32string& text, const std::u32string& part, Found found) {
    std::vector<std::size_t> border(part.size() + 1, 0);
    for (std::size_t i = 1, k = 0; i < part.size(); ++i) {
        while (k > 0 && part[i] != part[k]) k = border[k];
        if (part[i] == part[k]) ++k;
        border[i + 1] = k;
    }
    for (std::size_t i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != part[k]) k = border[k];
        if (text[i] == part[k]) ++k;
        if (k == part.size()) {
            if (!found(i + 1)) return;
            k = border[k];
        }
    }
}

}  // namespace

// Both texts composed (NFC) from their canonical forms, so that a precomposed letter and
// its decomposed spelling match, in time linear in their lengths.
bool UnicodeText::contains(const std::string& text, const std::string& part) {
    if (part.empty()) return false;
    if (isPlainASCII(text) && isPlainASCII(part)) return text.find(part) != std::string::npos;
    const std::u32string needle = composedForm(part);
    if (needle.empty()) return false;
    const std::u32string haystack = composedForm(text);
    bool found = false;
    forEachMatchEnd(haystack, needle, [&](std::size_t end) {
        // A match followed by a combining mark would split a character in two.
        found = end == haystack.size() || u_getCombiningClass(static_cast<UChar32>(haystack[end])) == 0;
        return !found;
    });
    return found;
}

std::string UnicodeText::isolatedForDisplay(const std::string& text) {
    // First strong isolate … pop directional isolate.
    return "\u2068" + PrintableText::of(text) + "\u2069";
}

std::size_t UnicodeText::characterCount(const std::string& text) {
    if (isPlainASCII(text)) return text.size();
    std::size_t count = 0;
    forEachCharacterEnd(toICU(text), [&](int32_t) {
        ++count;
        return true;
    });
    return count;
}

std::string UnicodeText::characterPrefix(const std::string& text, std::size_t count) {
    if (isPlainASCII(text)) return text.substr(0, count);
    const icu::UnicodeString u = toICU(text);
    int32_t cut = 0;
    std::size_t seen = 0;
    if (count > 0) {
        forEachCharacterEnd(u, [&](int32_t end) {
            cut = end;
            return ++seen < count;
        });
    }
    std::string out;
    u.tempSubString(0, cut).toUTF8String(out);
    return out;
}

struct UnicodeText::Regex::Impl {
    std::unique_ptr<icu::RegexPattern> pattern;
};

std::optional<UnicodeText::Regex> UnicodeText::Regex::compile(const std::string& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(toICU(pattern), 0, parseError, status));
    if (U_FAILURE(status) || !compiled) return std::nullopt;
    auto impl = std::make_shared<Impl>();
    impl->pattern = std::move(compiled);
    Regex regex;
    regex.impl_ = std::move(impl);
    return regex;
}

UnicodeText::Regex::Search UnicodeText::Regex::search(const std::string& text) const {
    // Steps of the match engine, in its own units of about ten thousand steps each.
    constexpr int32_t timeLimit = 20;
    constexpr int32_t stackLimit = 1024 * 1024;
    if (!impl_) return Search::notFound;
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = toICU(text);
    std::unique_ptr<icu::RegexMatcher> matcher(impl_->pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) return Search::notFound;
    matcher->setTimeLimit(timeLimit, status);
    matcher->setStackLimit(stackLimit, status);
    if (U_FAILURE(status)) return Search::gaveUp;
    const bool found = matcher->find(status);
    if (status == U_REGEX_TIME_OUT || status == U_REGEX_STACK_OVERFLOW) return Search::gaveUp;
    return U_SUCCESS(status) && found ? Search::found : Search::notFound;
}

}  // namespace kestr
