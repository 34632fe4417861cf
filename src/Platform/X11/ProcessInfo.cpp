#include "Platform/X11/ProcessInfo.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestr {

namespace {

// The fields of /proc/<pid>/stat from the third (the state) on; none when no such
// process runs, or it ended and waits for its parent to collect it (state Z).
std::optional<std::vector<std::string>> statFields(std::int32_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    // The command name is in parentheses and may hold spaces: count fields after it.
    const auto close = text.rfind(')');
    if (close == std::string::npos || close + 2 > text.size()) return std::nullopt;
    std::istringstream stream(text.substr(close + 2));
    std::vector<std::string> fields;
    for (std::string field; stream >> field;) fields.push_back(field);
    if (fields.empty() || fields.front() == "Z") return std::nullopt;
    return fields;
}

// Field `number` (counted from 1, as /proc documents them) as a number.
std::optional<std::uint64_t> statNumber(const std::vector<std::string>& fields, std::size_t number) {
    if (number < 3 || number - 3 >= fields.size()) return std::nullopt;
    try {
        return std::stoull(fields[number - 3]);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::uint64_t> ProcessInfo::startTime(std::int32_t pid) {
    const auto fields = statFields(pid);
    return fields ? statNumber(*fields, 22) : std::nullopt;
}

bool ProcessInfo::descendsFrom(std::int32_t pid, std::int32_t ancestor) {
    // Up the parents; a chain longer than any real one is cut off.
    for (int depth = 0; pid > 1 && depth < 64; ++depth) {
        if (pid == ancestor) return true;
        const auto fields = statFields(pid);
        const auto parent = fields ? statNumber(*fields, 4) : std::nullopt;
        if (!parent) return false;
        pid = static_cast<std::int32_t>(*parent);
    }
    return pid == ancestor;
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
