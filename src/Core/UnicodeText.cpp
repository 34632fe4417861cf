#include "Core/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

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

}  // namespace

bool UnicodeText::equal(const std::string& a, const std::string& b) {
    return a == b || composed(a) == composed(b);
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

bool UnicodeText::Regex::findsMatch(const std::string& text) const {
    if (!impl_) return false;
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = toICU(text);
    std::unique_ptr<icu::RegexMatcher> matcher(impl_->pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) return false;
    const bool found = matcher->find(status);
    return U_SUCCESS(status) && found;
}

}  // namespace kestr
