// The command lines a desktop file's Exec line asks for, started without a shell: the line
// read once (ExecLine), and what a kest gives (URLs, files, folders, arguments) put into
// the words that reading gives, where nothing reads it again: one word each where a field
// code is a word of its own, nothing where the word is code, only plain text where the
// code is joined to other text. What is left out, the program starts without, and
// `withheld` says why.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "Platform/X11/DesktopEntries.h"

namespace kestr {

class DesktopExec {
public:
    DesktopExec() = delete;

    using Command = std::vector<std::string>;
    struct Commands {
        std::vector<Command> commands;
        // Why a value was left out of a command, one sentence each.
        std::vector<std::string> withheld;
    };

    // The processes to start: one, or one per item when the Exec line takes a single URL
    // or file (%u, %f) and several are given. `arguments` go where the Exec line takes
    // its URLs or files, else at its end; `items` are URLs or absolute paths (one that
    // starts with "-" is refused: it would be read as an option, and items are refused
    // by a line that takes neither URLs nor files). A string instead when the entry
    // cannot be launched, saying why.
    static std::variant<Commands, std::string> commands(const DesktopEntry& entry,
                                                        const std::vector<std::string>& arguments,
                                                        const std::vector<std::string>& items);

    // Starts one command without a shell, detached from this process (it outlives
    // kestr), on the X display named (none: ours), in the entry's working folder (none:
    // `home`, else $HOME), and with the launch noted in its environment as other launchers
    // note it. It starts clean: the default signal mask and dispositions, a session of
    // its own, input from and output to /dev/null. The process identifier, or the
    // error's text.
    static std::variant<std::int32_t, std::string> start(const Command& command, const DesktopEntry& entry,
                                                         const std::string& display, const std::string& home);

    // A path as a file URL and a file URL as a path; anything else unchanged.
    static std::string asURL(const std::string& item);
    static std::string asPath(const std::string& item);
};

}  // namespace kestr
