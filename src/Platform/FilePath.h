// Plain text operations on slash-separated file paths.
#pragma once

#include <string>

namespace kestr {

// folder + "/" + name, without doubling a slash the folder already ends with.
inline std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Everything before the last slash ("" when there is none; "/" for a file at the root).
inline std::string parentFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Everything after the last slash.
inline std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kestr
