#include "Platform/X11/ProcessInfo.h"

#include <filesystem>

#include <fstream>
#include <sstream>
#include <string>

namespace kestr {

std::optional<std::uint64_t> ProcessInfo::startTime(std::int32_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    // The command name is in parentheses and may hold spaces: count fields after it.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // Fields 3 (the state) to 21, then the start time (field 22). A process that ended
    // and waits for its parent to collect it (state Z) runs no more.
    for (int i = 3; i <= 21; ++i) {
        if (!(fields >> field)) return std::nullopt;
        if (i == 3 && field == "Z") return std::nullopt;
    }
    std::uint64_t start = 0;
    if (!(fields >> start)) return std::nullopt;
    return start;
}

std::vector<std::int32_t> ProcessInfo::children(std::int32_t pid) {
    const std::string id = std::to_string(pid);
    std::ifstream in("/proc/" + id + "/task/" + id + "/children");
    std::vector<std::int32_t> out;
    for (std::int32_t child = 0; in >> child;) out.push_back(child);
    return out;
}

std::optional<std::string> ProcessInfo::workingFolder(std::int32_t pid) {
    std::error_code error;
    const auto folder = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/cwd", error);
    if (error) return std::nullopt;
    return folder.string();
}

}  // namespace kestr
