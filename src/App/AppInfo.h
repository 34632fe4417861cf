// The program's version and build, set in the build files; "—" when a build sets none.
#pragma once

#include <string>

namespace kestr {

struct AppInfo {
    static std::string version();
    static std::string build();
};

}  // namespace kestr
