// What the program takes from its environment on a desktop that follows the XDG
// base-directory rules: the user's folders, the folder for state kept between runs, and
// whether log lines go to standard error as well. Every backend that runs as a real
// process makes the same choices.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Platform/Error.h"
#include "Platform/Posix/PosixFiles.h"

namespace kestr {

class UserEnvironmentError : public Error {
public:
    using Error::Error;
};

struct UserEnvironment {
    // One environment variable's value; none when it is unset.
    using Variables = std::function<std::optional<std::string>(const std::string& name)>;

    UserFolders folders;
    std::string stateHome;
    // Where settings are kept: $XDG_CONFIG_HOME, else $HOME/.config.
    std::string configHome;
    bool logToStderr = false;

    // Application support is $XDG_DATA_HOME, else $HOME/.local/share; the desktop folder
    // is the one xdg-user-dirs names (XDG_DESKTOP_DIR in user-dirs.dirs of the
    // configuration folder), else the home folder; state is $XDG_STATE_HOME, else
    // $HOME/.local/state. Empty or relative XDG values are ignored, as the
    // base-directory rules ask. Log lines go to
    // standard error too when KESTR_LOG_STDERR is "1". Throws UserEnvironmentError when
    // HOME is unset or not an absolute path.
    static UserEnvironment read(const Variables& variables);

    // The desktop folder a user-dirs.dirs text names, resolved against `home`; none
    // when the text names none (or one that is neither "$HOME/..." nor absolute).
    static std::optional<std::string> desktopInUserDirs(const std::string& text, const std::string& home);

    // The variables of this process.
    static std::optional<std::string> processVariable(const std::string& name);
};

}  // namespace kestr
