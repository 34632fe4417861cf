// What the user's desktop does with a URL or a file (its default handlers, through GIO)
// and the file manager's "show these items" request on the session bus.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestr {

class DesktopHandlers {
public:
    DesktopHandlers() = delete;

    // Opens a URL, or an absolute path, with its default handler; the error's text when
    // that fails.
    static std::optional<std::string> open(const std::string& urlOrPath);
    // Asks the file manager (org.freedesktop.FileManager1) to show the items selected;
    // false when there is no session bus or no file manager answers.
    static bool showItems(const std::vector<std::string>& paths);
};

}  // namespace kestr
