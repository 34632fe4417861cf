// What the user's desktop does with a URL or a file (its default handlers, through GIO)
// and the file manager's "show these items" request on the session bus.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kestr {

class DesktopHandlers {
public:
    DesktopHandlers() = delete;

    struct Failure {
        std::string why;
    };
    // The desktop file of the application that opens a URL, or an absolute path, by the
    // user's choice (it is then launched as any other, so it starts clean); why not when
    // there is none.
    static std::variant<std::string, Failure> defaultHandler(const std::string& urlOrPath);
    // Asks the file manager (org.freedesktop.FileManager1) to show the items selected;
    // false when there is no session bus or no file manager answers.
    static bool showItems(const std::vector<std::string>& paths);
};

}  // namespace kestr
