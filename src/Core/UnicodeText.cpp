#include "Core/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <vector>

namespace kestr {

namespace {

icu::UnicodeString toICU(const std::string& s) { return icu::UnicodeString::fromUTF8(s); }

// NFC, or the text as it is when normalisation is unavailable.
icu::UnicodeString composed(const std::string& s) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    icu::UnicodeString text = toICU(s);
    if (U_FAILURE(status)) return text;
    icu::UnicodeString result = nfc->normalize(text, status);
    return U_SUCCESS(status) ? result : text;
}

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

bool UnicodeText::contains(const std::string& text, const std::string& part) {
    if (part.empty()) return false;
    if (isPlainASCII(text) && isPlainASCII(part)) return text.find(part) != std::string::npos;
    const icu::UnicodeString haystack = composed(text);
    const icu::UnicodeString needle = composed(part);
    if (needle.isEmpty()) return false;
    for (int32_t from = 0;;) {
        const int32_t at = haystack.indexOf(needle, from);
        if (at < 0) return false;
        const int32_t end = at + needle.length();
        // A match followed by a combining mark would split a character in two.
        if (end >= haystack.length() || u_getCombiningClass(haystack.char32At(end)) == 0) return true;
        from = at + 1;
    }
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
