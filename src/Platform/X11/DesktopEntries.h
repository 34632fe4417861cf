// The installed applications' desktop files ("xterm.desktop" …) in the freedesktop
// data folders, and which one a running program was started from: what gives an
// application its identity (the desktop-file id) and its name on this desktop.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestr {

struct DesktopEntry {
    std::string id;  // the file name without ".desktop", folders joined by "-"
    std::string path;
    std::string name;
    std::string startupWMClass;
    std::string exec;
    std::string icon;
    std::string workingFolder;  // Path=
    bool hidden = false;
};

class DesktopEntries {
public:
    // `dataFolders` in order of preference ($XDG_DATA_HOME first, then $XDG_DATA_DIRS);
    // their "applications" folders are read on first use, and again when one of them
    // changed (an application installed or removed while kestr runs).
    explicit DesktopEntries(std::vector<std::string> dataFolders) : folders_(std::move(dataFolders)) {}

    const DesktopEntry* byID(const std::string& id);
    // The entry a window of this class belongs to: the one whose StartupWMClass names
    // the class (or the instance), else the one whose id is the class or instance,
    // letter case aside.
    const DesktopEntry* forWindowClass(const std::string& wmClass, const std::string& wmInstance);
    const DesktopEntry* byPath(const std::string& path);

    // The desktop file a process was launched from, as the launcher left it in the
    // process's environment (GIO_LAUNCHED_DESKTOP_FILE for that very pid).
    static std::optional<std::string> launchedDesktopFile(int pid);

    // The entry of one file; none when it is not an application entry.
    static std::optional<DesktopEntry> parse(const std::string& text);
    // The entry of the file at `path` as read now, whether or not it is in the data
    // folders; none when it cannot be read or is not an application entry.
    static std::optional<DesktopEntry> read(const std::string& path);

private:
    void load();

    // The folders' modification times when they were read.
    std::vector<std::int64_t> stamps() const;

    std::vector<std::string> folders_;
    bool loaded_ = false;
    std::vector<std::int64_t> stamps_;
    std::map<std::string, DesktopEntry> entries_;
    // The entries that are not hidden, by path, by StartupWMClass, and by StartupWMClass
    // or id in lower case: each name keeps the first entry in the order of ids.
    std::unordered_map<std::string, const DesktopEntry*> byPath_;
    std::unordered_map<std::string, const DesktopEntry*> byClass_;
    std::unordered_map<std::string, const DesktopEntry*> byFoldedName_;
};

}  // namespace kestr
