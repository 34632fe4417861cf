#include "Platform/Posix/UserEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestr {

namespace {

// An XDG base folder counts only when it is set to an absolute path.
std::optional<std::string> absoluteValue(const UserEnvironment::Variables& variables, const std::string& name) {
    auto value = variables(name);
    if (!value || value->empty() || (*value)[0] != '/') return std::nullopt;
    return value;
}

}  // namespace

UserEnvironment UserEnvironment::read(const Variables& variables) {
    const auto home = absoluteValue(variables, "HOME");
    if (!home) throw UserEnvironmentError("kestr: HOME must be set to an absolute path");
    const std::filesystem::path homePath(*home);

    UserEnvironment environment;
    environment.folders.home = *home;
    environment.folders.applicationSupport =
        absoluteValue(variables, "XDG_DATA_HOME").value_or((homePath / ".local" / "share").string());
    environment.stateHome =
        absoluteValue(variables, "XDG_STATE_HOME").value_or((homePath / ".local" / "state").string());
    environment.configHome = absoluteValue(variables, "XDG_CONFIG_HOME").value_or((homePath / ".config").string());
    std::ifstream userDirs(std::filesystem::path(environment.configHome) / "user-dirs.dirs");
    std::ostringstream text;
    text << userDirs.rdbuf();
    environment.folders.desktop = desktopInUserDirs(text.str(), *home).value_or(*home);
    environment.logToStderr = variables("KESTR_LOG_STDERR") == std::optional<std::string>("1");
    return environment;
}

std::optional<std::string> UserEnvironment::desktopInUserDirs(const std::string& text, const std::string& home) {
    // Lines of the form XDG_DESKTOP_DIR="$HOME/Desktop", as xdg-user-dirs writes them:
    // a quoted path that starts with $HOME/ or /, a backslash escaping the next
    // character.
    const std::string key = "XDG_DESKTOP_DIR=\"";
    std::optional<std::string> found;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string rest = line.substr(start + key.size());
        std::string path;
        if (rest.starts_with("$HOME/")) {
            path = home;
            rest.erase(0, 5);
        } else if (!rest.starts_with("/")) {
            continue;
        }
        bool closed = false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '"') {
                closed = true;
                break;
            }
            if (rest[i] == '\\' && i + 1 < rest.size()) ++i;
            path += rest[i];
        }
        if (!closed) continue;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        found = path;
    }
    return found;
}

std::optional<std::string> UserEnvironment::processVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace kestr
