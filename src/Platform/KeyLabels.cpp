#include "Platform/KeyLabels.h"

#include <array>
#include <string_view>

namespace kestr {

namespace {

// Labels of ANSI key codes 0...126; an empty entry has no label.
constexpr std::array<std::string_view, 127> labels = [] {
    std::array<std::string_view, 127> t{};
    constexpr std::string_view letters[] = {"A", "S", "D", "F", "H", "G", "Z", "X", "C", "V"};
    for (int i = 0; i < 10; ++i) t[i] = letters[i];
    constexpr std::string_view row[] = {"B", "Q", "W", "E",      "R",      "Y",      "T", "1",     "2", "3",  "4",
                                        "6", "5", "=", "9",      "7",      "\u2212", "8", "0",     "]", "O",  "U",
                                        "[", "I", "P", "\u21A9", "L",      "J",      "'", "K",     ";", "\\", ",",
                                        "/", "N", "M", ".",      "\u21E5", "\u2423", "`", "\u232B"};
    for (int i = 0; i < 41; ++i) t[11 + i] = row[i];
    t[53] = "\u238B";
    t[76] = "\u21A9";
    t[117] = "\u2326";
    t[123] = "\u2190";
    t[124] = "\u2192";
    t[125] = "\u2193";
    t[126] = "\u2191";
    return t;
}();

}  // namespace

std::string keyLabel(std::uint32_t keyCode) {
    if (keyCode < labels.size() && !labels[keyCode].empty()) return std::string(labels[keyCode]);
    return "?" + std::to_string(keyCode);
}

}  // namespace kestr
