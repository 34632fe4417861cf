#include "Core/KnownApplications.h"

#include <algorithm>

// The tables here are aligned by hand, one row a line.
// clang-format off

namespace kestr {

namespace {

// A row of an application reached through its command line; its titles follow what it
// shows.
KnownApplication commandLineRow(std::string id, CommandLineFamily family, std::vector<std::string> fresh,
                                std::vector<std::string> execute = {}) {
    KnownApplication row;
    row.bundleID = std::move(id);
    row.titleDrifts = true;
    row.commandLine = family;
    row.freshWindowOptions = std::move(fresh);
    row.executeOption = std::move(execute);
    return row;
}

KnownApplication browser(std::string id, std::string tabOption = "") {
    KnownApplication row = commandLineRow(std::move(id), CommandLineFamily::browser, {"--new-window"});
    row.tabOption = std::move(tabOption);
    return row;
}

KnownApplication terminal(std::string id, std::vector<std::string> fresh, std::vector<std::string> execute,
                          std::string title = "") {
    KnownApplication row =
        commandLineRow(std::move(id), CommandLineFamily::terminal, std::move(fresh), std::move(execute));
    row.titleOption = std::move(title);
    return row;
}

// Every file manager in the table takes "--" before its folder.
KnownApplication fileManager(std::string id, std::vector<std::string> fresh) {
    KnownApplication row = commandLineRow(std::move(id), CommandLineFamily::fileManager, std::move(fresh));
    row.endsOptions = true;
    return row;
}

}  // namespace

const std::vector<KnownApplication>& KnownApplications::table() {
    static const std::vector<KnownApplication> rows = {
        {"com.apple.finder", ScriptFamily::finder, "Finder window 1", "Finder window 1", false, false,
         Size{316, 288}, std::nullopt, CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.apple.Safari", ScriptFamily::safari, "front window", "document 1", true, false, std::nullopt,
         std::nullopt, CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.google.Chrome", ScriptFamily::chrome, "window 1", "window 1", true, false, std::nullopt,
         "Google/Chrome", CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.google.Chrome.canary", ScriptFamily::chrome, "window 1", "window 1", true, false, std::nullopt,
         "Google/Chrome Canary", CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.apple.Terminal", ScriptFamily::terminal, "window 1", "window 1", true, true, Size{260, 212},
         std::nullopt, CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.mitchellh.ghostty", ScriptFamily::ghostty, std::nullopt, "front window", true, true, std::nullopt,
         std::nullopt, CommandLineFamily::none, {}, {}, {}, false, {}},
        {"com.googlecode.iterm2", ScriptFamily::iterm2, "current window", "current window", true, true,
         std::nullopt, std::nullopt, CommandLineFamily::none, {}, {}, {}, false, {}},
        // Linux desktops, by their desktop-file ids. The browsers take no "--": Firefox
        // reads options after it, and Debian's chromium wrapper drops it. Chromium opens
        // every URL after "--new-window" as a tab of the new window; Firefox only the first.
        browser("chromium"),
        browser("google-chrome"),
        browser("firefox", "--new-tab"),
        browser("firefox-esr", "--new-tab"),
        // Each command line gives one window, whether the terminal runs already or not
        // (xfce4-terminal's "--window" would add one beside the window it opens anyway).
        terminal("org.gnome.Terminal", {"--window"}, {"--"}, "--title="),
        terminal("org.kde.konsole", {}, {"-e"}),
        terminal("debian-xterm", {}, {"-e"}, "-T"),
        terminal("xfce4-terminal", {}, {"-x"}, "--title="),
        terminal("kitty", {}, {}, "--title="),
        terminal("org.wezfurlong.wezterm", {}, {"--"}),
        fileManager("org.gnome.Nautilus", {"--new-window"}),
        fileManager("org.kde.dolphin", {"--new-window"}),
        fileManager("thunar", {}),
        fileManager("nemo", {}),
        fileManager("pcmanfm", {"--new-win"}),
    };
    return rows;
}

const KnownApplication* KnownApplications::find(const std::string& bundleID) {
    const auto& rows = table();
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const KnownApplication& row) {
        return row.bundleID == bundleID;
    });
    return it == rows.end() ? nullptr : &*it;
}

ScriptFamily KnownApplications::scripts(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row ? row->scripts : ScriptFamily::none;
}

CommandLineFamily KnownApplications::commandLine(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row ? row->commandLine : CommandLineFamily::none;
}

bool KnownApplications::titleDrifts(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->titleDrifts;
}

bool KnownApplications::titleStable(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->scripts != ScriptFamily::none && !row->titleDrifts;
}

bool KnownApplications::startsWithoutWindow(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->startsWithoutWindow;
}

Size KnownApplications::minimumSize(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    if (row && row->minimumSize) return *row->minimumSize;
    return Size{defaultMinimumSide, defaultMinimumSide};
}

bool KnownApplications::isChromeWebApp(const std::string& bundleID) {
    return bundleID.starts_with("com.google.Chrome.app.");
}

}  // namespace kestr
// clang-format on
