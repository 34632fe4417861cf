#include "Platform/UserEnvironment.h"

#include <cstdlib>
#include <filesystem>

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
    environment.folders.desktop = (homePath / "Desktop").string();
    environment.folders.applicationSupport =
        absoluteValue(variables, "XDG_DATA_HOME").value_or((homePath / ".local" / "share").string());
    environment.stateHome =
        absoluteValue(variables, "XDG_STATE_HOME").value_or((homePath / ".local" / "state").string());
    environment.logToStderr = variables("KESTR_LOG_STDERR") == std::optional<std::string>("1");
    return environment;
}

std::optional<std::string> UserEnvironment::processVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace kestr
