// Fresh windows where applications take no scripts: the application is started again
// from its desktop file with what its command line offers (a browser window with the
// item's URLs, a terminal window in the item's folder running its command, a file
// manager window on its folder), each value one plain argument.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Core/LayoutItem.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

class FreshWindowCommand {
public:
    FreshWindowCommand() = delete;

    // The arguments that open a fresh window of the item's application showing its
    // content (and, for a terminal that takes one, its captured title); none when its
    // command line offers none. A URL or folder is never read as an option: it follows
    // "--" where the program takes that, else one starting with "-" is left out.
    static std::optional<std::vector<std::string>> arguments(const LayoutItem& item);
    // The values `arguments` leaves out.
    static std::vector<std::string> leftOut(const LayoutItem& item);
    // `arguments` for a command about to run: a log line for each value left out.
    static std::optional<std::vector<std::string>> argumentsToRun(const LayoutItem& item);
    // For a browser whose fresh window takes one URL: the command line that adds the
    // item's further tabs, in order, to its newest window; empty when there are none.
    static std::vector<std::string> laterTabs(const LayoutItem& item);
    // Runs that command line; called once the item's fresh window shows.
    static void openLaterTabs(const LayoutItem& item);
    // Asks the application for that window, waiting for the desktop's answer no longer
    // than `within` seconds. Throws WindowSpawner::SpawnError.
    static Task<void> open(LayoutItem item, double within);

    // The command a terminal runs: it changes to the folder (when one is given), runs the
    // command (when one is given) and stays open with the user's shell.
    static std::vector<std::string> terminalCommand(const std::string& folder, const std::string& command);
};

}  // namespace kestr
