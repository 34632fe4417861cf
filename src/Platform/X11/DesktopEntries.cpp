#include "Platform/X11/DesktopEntries.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestr {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string readWhole(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// A string value's escapes: \s, \n, \t, \r and \\.
std::string unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return out;
}

}  // namespace

std::optional<DesktopEntry> DesktopEntries::parse(const std::string& text) {
    DesktopEntry entry;
    std::istringstream lines(text);
    std::string line;
    bool inMain = false;
    bool application = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        if (!inMain) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        while (!value.empty() && value.front() == ' ') value.erase(value.begin());
        if (key == "Type")
            application = value == "Application";
        else if (key == "Name")
            entry.name = value;
        else if (key == "StartupWMClass")
            entry.startupWMClass = value;
        else if (key == "Exec")
            entry.exec = unescaped(value);
        else if (key == "Icon")
            entry.icon = unescaped(value);
        else if (key == "Path")
            entry.workingFolder = unescaped(value);
        else if (key == "Hidden")
            entry.hidden = value == "true";
    }
    if (!application) return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntries::read(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    auto entry = parse(readWhole(path, 256 * 1024));
    if (!entry) return std::nullopt;
    entry->id = std::filesystem::path(path).stem().string();
    entry->path = path;
    return entry;
}

std::vector<std::int64_t> DesktopEntries::stamps() const {
    std::vector<std::int64_t> out;
    for (const std::string& folder : folders_) {
        std::error_code error;
        const auto time = std::filesystem::last_write_time(std::filesystem::path(folder) / "applications", error);
        out.push_back(error ? 0 : static_cast<std::int64_t>(time.time_since_epoch().count()));
    }
    return out;
}

void DesktopEntries::load() {
    auto now = stamps();
    if (loaded_ && now == stamps_) return;
    loaded_ = true;
    stamps_ = std::move(now);
    entries_.clear();
    namespace fs = std::filesystem;
    for (const std::string& folder : folders_) {
        const fs::path root = fs::path(folder) / "applications";
        std::error_code error;
        if (!fs::is_directory(root, error)) continue;
        for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
            if (it->path().extension() != ".desktop" || !it->is_regular_file(error)) continue;
            std::string id = fs::relative(it->path(), root, error).replace_extension().string();
            std::replace(id.begin(), id.end(), '/', '-');
            // The first folder that has an id wins: a user's own file hides the system's.
            if (entries_.count(id)) continue;
            auto entry = parse(readWhole(it->path().string(), 256 * 1024));
            if (!entry) continue;
            entry->id = id;
            entry->path = it->path().string();
            entries_.emplace(id, std::move(*entry));
        }
    }
}

const DesktopEntry* DesktopEntries::byID(const std::string& id) {
    load();
    auto it = entries_.find(id);
    return it == entries_.end() || it->second.hidden ? nullptr : &it->second;
}

const DesktopEntry* DesktopEntries::byPath(const std::string& path) {
    load();
    for (const auto& [id, entry] : entries_) {
        if (entry.path == path && !entry.hidden) return &entry;
    }
    return nullptr;
}

const DesktopEntry* DesktopEntries::forWindowClass(const std::string& wmClass, const std::string& wmInstance) {
    load();
    for (const std::string& name : {wmClass, wmInstance}) {
        if (name.empty()) continue;
        for (const auto& [id, entry] : entries_) {
            if (!entry.hidden && entry.startupWMClass == name) return &entry;
        }
    }
    for (const std::string& name : {wmClass, wmInstance}) {
        if (name.empty()) continue;
        for (const auto& [id, entry] : entries_) {
            if (!entry.hidden && (lower(entry.startupWMClass) == lower(name) || lower(id) == lower(name)))
                return &entry;
        }
    }
    return nullptr;
}

std::optional<std::string> DesktopEntries::launchedDesktopFile(int pid) {
    const std::string environ = readWhole("/proc/" + std::to_string(pid) + "/environ", 1024 * 1024);
    std::optional<std::string> file;
    std::optional<std::string> launchedPid;
    std::size_t start = 0;
    while (start < environ.size()) {
        std::size_t end = environ.find('\0', start);
        if (end == std::string::npos) end = environ.size();
        const std::string variable = environ.substr(start, end - start);
        if (variable.rfind("GIO_LAUNCHED_DESKTOP_FILE=", 0) == 0) file = variable.substr(26);
        if (variable.rfind("GIO_LAUNCHED_DESKTOP_FILE_PID=", 0) == 0) launchedPid = variable.substr(30);
        start = end + 1;
    }
    // A child inherits the variable; only the launched process itself counts.
    if (!file || launchedPid != std::to_string(pid)) return std::nullopt;
    return file;
}

}  // namespace kestr
