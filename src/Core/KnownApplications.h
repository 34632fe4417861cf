// What kestr knows about particular applications, one row each: which scripts open,
// fill and read their windows (or, where applications take no scripts, what their
// command line offers for a fresh window), how their scripting names the front window, whether
// their titles follow their content, whether they may start without a window, the
// smallest window they accept and where a browser keeps its profiles. Every other
// application gets the defaults; adding an application means adding its row here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Geometry.h"

namespace kestr {

// The family of scripts an application takes: the fresh-window script, the script that
// fills a window with saved content and the one that reads it back at capture.
enum class ScriptFamily { none, finder, safari, chrome, terminal, ghostty, iterm2 };

// What an application's command line opens: a browser window with URLs, a terminal
// window running a command, a file manager window on a folder.
enum class CommandLineFamily { none, browser, terminal, fileManager };

struct KnownApplication {
    std::string bundleID;
    ScriptFamily scripts = ScriptFamily::none;
    // The front window as its scripting names it when setting its bounds, and when
    // filling it with content; none: the application has no such reference.
    std::optional<std::string> frontBoundsRef;
    std::optional<std::string> frontWindowRef;
    // Window titles follow the content (a page, a running command), so a saved title is
    // only a clue.
    bool titleDrifts = false;
    // A launch may end without any window; the placement opens one.
    bool startsWithoutWindow = false;
    // The smallest window it accepts; none: the default.
    std::optional<Size> minimumSize;
    // The browser's folder under Application Support, whose "Local State" names the
    // last used profile.
    std::optional<std::string> profileFolder;
    // Where applications take no scripts: what the command line opens, the options that
    // ask for a fresh window, and for a terminal the option after which the command to
    // run follows (empty: the command follows the options directly).
    CommandLineFamily commandLine = CommandLineFamily::none;
    std::vector<std::string> freshWindowOptions;
    std::vector<std::string> executeOption;
    // A terminal's option that sets its window's title: the title is the next argument,
    // or follows directly when the option ends in "=". Empty: it takes none.
    std::string titleOption;
    // The program reads "--" as the end of its options, so the URLs or folder after it
    // are never read as options whatever they start with.
    bool endsOptions = false;
    // A browser whose fresh window takes its first URL only (the others would open in an
    // older window, or in a window of their own): the further tabs follow once the
    // window shows, each after this option, which opens a tab in the newest window.
    // Empty: every URL follows the fresh-window options.
    std::string tabOption;
};

class KnownApplications {
public:
    KnownApplications() = delete;

    // The smallest window assumed for an application without a row of its own.
    static constexpr double defaultMinimumSide = 120;

    static const std::vector<KnownApplication>& table();
    // The application's row; none when kestr knows nothing particular about it.
    static const KnownApplication* find(const std::string& bundleID);

    static ScriptFamily scripts(const std::string& bundleID);
    static CommandLineFamily commandLine(const std::string& bundleID);
    // Whether it has a fresh-window script or command line of its own.
    static bool spawnsNewWindow(const std::string& bundleID) {
        return scripts(bundleID) != ScriptFamily::none || commandLine(bundleID) != CommandLineFamily::none;
    }
    static bool isChrome(const std::string& bundleID) { return scripts(bundleID) == ScriptFamily::chrome; }
    static bool titleDrifts(const std::string& bundleID);
    // Scripted, and titles that never follow content: a window without the saved title
    // is another window.
    static bool titleStable(const std::string& bundleID);
    static bool startsWithoutWindow(const std::string& bundleID);
    // The row's minimum size, else `defaultMinimumSide` on both sides.
    static Size minimumSize(const std::string& bundleID);
    // Installed Chrome web applications: no scripting of their own.
    static bool isChromeWebApp(const std::string& bundleID);
};

}  // namespace kestr
