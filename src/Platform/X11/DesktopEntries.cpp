#include "Platform/X11/DesktopEntries.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string_view>

namespace kestr {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// What the file holds, up to `limit` bytes. Files under /proc tell no size, so the
// text grows as it is read.
std::string readWhole(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    char buffer[16 * 1024];
    for (ssize_t n; text.size() < limit && (n = ::read(fd, buffer, std::min(sizeof buffer, limit - text.size()))) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(fd);
    return text;
}

// A string value's escapes read as GLib reads them: \s, \n, \t, \r and \\; a backslash
// before any other character stays, one at the end goes.
std::string unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (i + 1 == value.size()) break;
        const char c = value[++i];
        if (std::string_view("sntr\\").find(c) == std::string_view::npos) out += '\\';
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
    byPath_.clear();
    byClass_.clear();
    byFoldedName_.clear();
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
    // In the order of ids, so the first entry that fits a name is the one kept for it.
    for (const auto& [id, entry] : entries_) {
        if (entry.hidden) continue;
        byPath_.emplace(entry.path, &entry);
        if (!entry.startupWMClass.empty()) {
            byClass_.emplace(entry.startupWMClass, &entry);
            byFoldedName_.emplace(lower(entry.startupWMClass), &entry);
        }
        byFoldedName_.emplace(lower(id), &entry);
    }
}

const DesktopEntry* DesktopEntries::byID(const std::string& id) {
    load();
    auto it = entries_.find(id);
    return it == entries_.end() || it->second.hidden ? nullptr : &it->second;
}

const DesktopEntry* DesktopEntries::byPath(const std::string& path) {
    load();
    const auto it = byPath_.find(path);
    return it == byPath_.end() ? nullptr : it->second;
}

const DesktopEntry* DesktopEntries::forWindowClass(const std::string& wmClass, const std::string& wmInstance) {
    load();
    // No entry is kept under an empty name.
    for (const std::string* name : {&wmClass, &wmInstance}) {
        if (const auto it = byClass_.find(*name); it != byClass_.end()) return it->second;
    }
    for (const std::string* name : {&wmClass, &wmInstance}) {
        if (const auto it = byFoldedName_.find(lower(*name)); it != byFoldedName_.end()) return it->second;
    }
    return nullptr;
}

std::optional<std::string> DesktopEntries::launchedDesktopFile(int pid) {
    const std::string environ = readWhole("/proc/" + std::to_string(pid) + "/environ", 1024 * 1024);
    std::optional<std::string_view> file;
    std::optional<std::string_view> launchedPid;
    std::size_t start = 0;
    while (start < environ.size()) {
        std::size_t end = environ.find('\0', start);
        if (end == std::string::npos) end = environ.size();
        const std::string_view variable = std::string_view(environ).substr(start, end - start);
        if (variable.starts_with("GIO_LAUNCHED_DESKTOP_FILE=")) file = variable.substr(26);
        if (variable.starts_with("GIO_LAUNCHED_DESKTOP_FILE_PID=")) launchedPid = variable.substr(30);
        start = end + 1;
    }
    // A child inherits the variable; only the launched process itself counts.
    if (!file || launchedPid != std::to_string(pid)) return std::nullopt;
    return std::string(*file);
}

}  // namespace kestr
