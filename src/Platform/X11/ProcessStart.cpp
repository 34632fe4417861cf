#include "Platform/X11/ProcessStart.h"

#include <fstream>
#include <sstream>
#include <string>

namespace kestr {

std::optional<std::uint64_t> ProcessStart::of(std::int32_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    // The command name is in parentheses and may hold spaces: count fields after it.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // Fields 3 to 21, then the start time (field 22).
    for (int i = 3; i <= 21; ++i)
        if (!(fields >> field)) return std::nullopt;
    std::uint64_t start = 0;
    if (!(fields >> start)) return std::nullopt;
    return start;
}

}  // namespace kestr
