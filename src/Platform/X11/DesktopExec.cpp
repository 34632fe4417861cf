#include "Platform/X11/DesktopExec.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace kestr {

namespace {

bool takesItems(const std::string& argument) {
    return argument == "%u" || argument == "%U" || argument == "%f" || argument == "%F";
}

// Field codes inside a longer argument; none when one is unknown.
std::optional<std::string> expandInside(const std::string& argument, const DesktopEntry& entry,
                                        const std::string& item) {
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != '%') {
            out += argument[i];
            continue;
        }
        if (i + 1 == argument.size()) return std::nullopt;
        switch (argument[++i]) {
            case '%': out += '%'; break;
            case 'c': out += entry.name; break;
            case 'k': out += entry.path; break;
            case 'u': out += DesktopExec::asURL(item); break;
            case 'f': out += DesktopExec::asPath(item); break;
            case 'U': case 'F': case 'i': case 'd': case 'D': case 'n': case 'N': case 'v': case 'm': break;
            default: return std::nullopt;
        }
    }
    return out;
}

struct LaunchNote {
    const char* desktopFile;
    const char* display;
};

// In the new process, before its program runs: the display its windows go to, and which
// desktop file it came from, for the identity of its windows.
void noteLaunch(gpointer data) {
    const auto* note = static_cast<const LaunchNote*>(data);
    if (*note->display) setenv("DISPLAY", note->display, 1);
    setenv("GIO_LAUNCHED_DESKTOP_FILE", note->desktopFile, 1);
    char pid[32];
    std::snprintf(pid, sizeof pid, "%ld", static_cast<long>(getpid()));
    setenv("GIO_LAUNCHED_DESKTOP_FILE_PID", pid, 1);
}

}  // namespace

std::variant<std::int32_t, std::string> DesktopExec::start(const Command& command, const DesktopEntry& entry,
                                                          const std::string& display) {
    LaunchNote note{entry.path.c_str(), display.c_str()};
    std::vector<gchar*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<gchar*>(word.c_str()));
    argv.push_back(nullptr);
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDIN_FROM_DEV_NULL);
    GPid pid = 0;
    GError* error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD GLib starts the program from an intermediate
    // process, so it is no child of ours and leaves no zombie.
    if (!g_spawn_async(entry.workingFolder.empty() ? nullptr : entry.workingFolder.c_str(), argv.data(), nullptr,
                       flags, noteLaunch, &note, &pid, &error)) {
        std::string why = error ? error->message : "the program could not be started";
        g_clear_error(&error);
        return why;
    }
    return static_cast<std::int32_t>(pid);
}

std::string DesktopExec::asURL(const std::string& item) {
    if (item.empty() || item.front() != '/') return item;
    gchar* uri = g_filename_to_uri(item.c_str(), nullptr, nullptr);
    std::string out = uri ? uri : item;
    g_free(uri);
    return out;
}

std::string DesktopExec::asPath(const std::string& item) {
    if (item.rfind("file://", 0) != 0) return item;
    gchar* path = g_filename_from_uri(item.c_str(), nullptr, nullptr);
    std::string out = path ? path : item;
    g_free(path);
    return out;
}

std::variant<std::vector<DesktopExec::Command>, std::string> DesktopExec::commands(
    const DesktopEntry& entry, const std::vector<std::string>& arguments, const std::vector<std::string>& items) {
    if (entry.exec.empty()) return "its desktop file " + entry.path + " has no Exec line";
    int count = 0;
    gchar** parsed = nullptr;
    GError* error = nullptr;
    if (!g_shell_parse_argv(entry.exec.c_str(), &count, &parsed, &error)) {
        std::string why = "the Exec line of " + entry.path + " cannot be read (" +
                          (error ? std::string(error->message) : "no command") + ")";
        g_clear_error(&error);
        return why;
    }
    const Command words(parsed, parsed + count);
    g_strfreev(parsed);

    // %u and %f take one item: one process per item.
    bool single = false;
    for (const std::string& w : words) single = single || w == "%u" || w == "%f";
    std::vector<std::vector<std::string>> batches;
    if (single && items.size() > 1) {
        for (const std::string& item : items) batches.push_back({item});
    } else {
        batches.push_back(items);
    }

    std::vector<Command> out;
    for (const auto& batch : batches) {
        Command command;
        bool argumentsPlaced = false;
        for (const std::string& w : words) {
            if (takesItems(w)) {
                if (!argumentsPlaced) command.insert(command.end(), arguments.begin(), arguments.end());
                argumentsPlaced = true;
                const bool path = w == "%f" || w == "%F";
                for (const std::string& item : batch) command.push_back(path ? asPath(item) : asURL(item));
            } else if (w == "%i") {
                if (!entry.icon.empty()) command.insert(command.end(), {"--icon", entry.icon});
            } else if (auto expanded = expandInside(w, entry, batch.empty() ? "" : batch.front())) {
                if (!expanded->empty() || w.empty()) command.push_back(*expanded);
            } else {
                return "the Exec line of " + entry.path + " has an unknown field code in \"" + w + "\"";
            }
        }
        if (!argumentsPlaced) command.insert(command.end(), arguments.begin(), arguments.end());
        if (command.empty() || command.front().empty()) return "the Exec line of " + entry.path + " names no program";
        out.push_back(std::move(command));
    }
    return out;
}

}  // namespace kestr
