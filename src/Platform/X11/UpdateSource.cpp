#include "Platform/X11/UpdateSource.h"

#include <filesystem>
#include <system_error>

namespace kestr {

std::string UpdateSource::runningProgram() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : path.string();
}

bool UpdateSource::packageManager() const {
    // Unknown: the usual case, a packaged program.
    if (program_.empty()) return true;
    for (const char* folder : {"/usr/bin/", "/usr/sbin/", "/usr/games/", "/bin/", "/sbin/", "/usr/lib/"})
        if (program_.starts_with(folder)) return true;
    return false;
}

std::string UpdateSource::title() const {
    return packageManager() ? "Updates come with your package manager" : "Updates come from kestr's source";
}

std::string UpdateSource::text() const {
    if (packageManager())
        return "kestr is updated by your system's package manager, together with your other software.";
    return "This kestr was built from source and installed in " +
           std::filesystem::path(program_).parent_path().string() +
           ": your package manager does not update it. Build and install a newer version of kestr the same way.";
}

}  // namespace kestr
