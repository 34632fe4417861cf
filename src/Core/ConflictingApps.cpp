#include "Core/ConflictingApps.h"

#include "Platform/Platform.h"

namespace kestr {

const std::vector<ConflictingApps::Known>& ConflictingApps::known() {
    // A Linux desktop's own window manager takes window keys too; the keys it holds
    // show as refused ones. Listed here are the programs people run beside it to snap
    // and tile windows by key, by the ids of their desktop files.
    static const std::vector<Known> desktopFiles = {
        {"QuickTile", {"quicktile"}},
        {"X Tile", {"x-tile"}},
    };
    static const std::vector<Known> bundles = {
        {"Magnet", {"com.crowdcafe.windowmagnet"}},
        {"Rectangle", {"com.knollsoft.Rectangle"}},
        {"Rectangle Pro", {"com.knollsoft.Hookshot"}},
        {"Spectacle", {"com.divisiblebyzero.Spectacle"}},
        {"Moom", {"com.manytricks.Moom"}},
        {"BetterSnapTool", {"com.hegenberg.BetterSnapTool"}},
        {"Loop", {"com.mrkai77.Loop"}},
        {"Swish", {"com.highlyopinionated.swish"}},
        {"Amethyst", {"com.amethyst.Amethyst"}},
        {"Divvy", {"com.mizage.direct.Divvy", "com.mizage.Divvy"}},
        {"Tiles", {"com.SCHJONHAUG.Tiles", "net.sourceforge.Tiles"}},
    };
    return platform().capabilities().desktopFileIDs ? desktopFiles : bundles;
}

std::vector<ConflictingApps::Running> ConflictingApps::running() {
    std::vector<Running> result;
    Workspace& workspace = platform().workspace();
    for (const Known& row : known()) {
        for (const std::string& bundleID : row.bundleIDs) {
            const auto apps = workspace.runningApplications(bundleID);
            if (!apps.empty()) {
                result.push_back({row.name, apps.front()});
                break;
            }
        }
    }
    return result;
}

bool ConflictingApps::quit(const Running& running) {
    platform().log().line("kestr[conflict]: quitting " + running.name + " (" +
                          running.app.bundleIdentifier.value_or("?") + ")");
    // The entry may be old: the application may have quit and its process identifier
    // gone to another program since. Only the same application is asked to quit.
    Workspace& workspace = platform().workspace();
    const auto now = workspace.runningApplication(running.app.processIdentifier);
    if (!now || now->isTerminated || now->bundleIdentifier != running.app.bundleIdentifier) {
        platform().log().line("kestr[conflict]: " + running.name + " is no longer running");
        return false;
    }
    return workspace.terminate(running.app.processIdentifier);
}

}  // namespace kestr
