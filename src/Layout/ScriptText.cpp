#include "Layout/ScriptText.h"

#include <cmath>

#include "Core/WholeNumber.h"

namespace kestr::ScriptText {

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string quoted(std::string_view text) { return "\"" + escaped(text) + "\""; }

std::string shellQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

bool isSafeBundleID(std::string_view bundleID) {
    if (bundleID.empty()) return false;
    for (unsigned char c : bundleID) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '.') return false;
    }
    return true;
}

std::string roundedWholeNumber(double value) { return std::to_string(truncatedWholeNumber(std::round(value))); }

std::string line(std::string_view text) {
    std::string out(text);
    out += '\n';
    return out;
}

std::string tryBlock(std::string_view statement) { return line("try") + line(statement) + line("end try"); }

std::string tellApplication(std::string_view bundleID) {
    return "tell application id \"" + std::string(bundleID) + "\"";
}

std::string_view trimmedSpacesAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace kestr::ScriptText
