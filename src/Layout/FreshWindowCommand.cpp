#include "Layout/FreshWindowCommand.h"

#include "Core/KnownApplications.h"
#include "Layout/ApplyLog.h"
#include "Layout/ScriptText.h"
#include "Layout/WindowSpawner.h"
#include "Platform/OpenApplication.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// A file URL's path (a stored URL has two hexadecimal digits after every "%"); other
// text as it is.
std::string pathOf(const std::string& text) {
    const std::string prefix = "file://";
    if (text.rfind(prefix, 0) != 0) return text;
    std::string path;
    const std::string encoded = text.substr(prefix.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            path += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += encoded[i];
        }
    }
    return path;
}

std::string firstFolder(const LayoutItem& item) {
    if (!item.openFolders || item.openFolders->empty()) return "";
    return pathOf(item.openFolders->front().string());
}

// The first saved terminal tab's command. The item's kept shell command is never run: a
// kest file may come from anyone.
std::string firstCommand(const LayoutItem& item) {
    for (const std::string& command : item.terminalTabs.value_or(std::vector<std::string>{})) {
        if (!ScriptText::trimmedSpacesAndTabs(command).empty()) return command;
    }
    return "";
}

std::vector<std::string> browserURLs(const LayoutItem& item) {
    std::vector<std::string> urls;
    for (const auto& tab : item.browserTabs.value_or(std::vector<std::string>{}))
        if (!tab.empty()) urls.push_back(tab);
    if (urls.empty() && item.browserURL && !item.browserURL->empty()) urls.push_back(*item.browserURL);
    return urls;
}

// What the command line hands over as it is: a browser's URLs, a file manager's folder.
std::vector<std::string> values(const KnownApplication& row, const LayoutItem& item) {
    if (row.commandLine == CommandLineFamily::browser) return browserURLs(item);
    if (row.commandLine != CommandLineFamily::fileManager) return {};
    const std::string folder = item.finderPath && !item.finderPath->empty() ? *item.finderPath : firstFolder(item);
    if (folder.empty()) return {};
    return {folder};
}

bool readAsOption(const std::string& value) { return value.starts_with("-"); }

// The values that may follow the options: after "--" all of them, else those that
// cannot be read as an option.
std::vector<std::string> keptValues(const KnownApplication& row, const LayoutItem& item) {
    std::vector<std::string> kept;
    for (const std::string& value : values(row, item))
        if (row.endsOptions || !readAsOption(value)) kept.push_back(value);
    return kept;
}

}  // namespace

std::vector<std::string> FreshWindowCommand::terminalCommand(const std::string& folder, const std::string& command) {
    // The folder and the command stay arguments of the script, never part of its text.
    // A Ctrl-C that stops the command leaves the window open with the shell.
    return {
        "sh",
        "-c",
        "cd -- \"$1\" 2>/dev/null; trap : INT; [ -n \"$2\" ] && eval \"$2\"; trap - INT; exec \"${SHELL:-/bin/sh}\"",
        "sh",
        folder,
        command};
}

std::optional<std::vector<std::string>> FreshWindowCommand::arguments(const LayoutItem& item) {
    const KnownApplication* row = KnownApplications::find(item.appBundleID);
    if (!row || row->commandLine == CommandLineFamily::none) return std::nullopt;
    std::vector<std::string> out = row->freshWindowOptions;
    if (row->commandLine == CommandLineFamily::terminal) {
        const std::string title = item.capturedWindowTitle.value_or("");
        if (!row->titleOption.empty() && !title.empty()) {
            if (row->titleOption.ends_with("=")) {
                out.push_back(row->titleOption + title);
            } else {
                out.insert(out.end(), {row->titleOption, title});
            }
        }
        const std::string folder = firstFolder(item);
        const std::string command = firstCommand(item);
        if (folder.empty() && command.empty()) return out;
        out.insert(out.end(), row->executeOption.begin(), row->executeOption.end());
        for (std::string& word : terminalCommand(folder, command)) out.push_back(std::move(word));
        return out;
    }
    // URLs and folders follow the options, after "--" where the program takes it; a
    // browser that opens further tabs apart takes the first URL here.
    std::vector<std::string> kept = keptValues(*row, item);
    if (!row->tabOption.empty() && kept.size() > 1) kept.resize(1);
    if (row->endsOptions && !kept.empty()) out.push_back("--");
    out.insert(out.end(), kept.begin(), kept.end());
    return out;
}

std::vector<std::string> FreshWindowCommand::laterTabs(const LayoutItem& item) {
    const KnownApplication* row = KnownApplications::find(item.appBundleID);
    if (!row || row->tabOption.empty()) return {};
    const std::vector<std::string> kept = keptValues(*row, item);
    std::vector<std::string> out;
    for (std::size_t i = 1; i < kept.size(); ++i) out.insert(out.end(), {row->tabOption, kept[i]});
    return out;
}

void FreshWindowCommand::openLaterTabs(const LayoutItem& item) {
    const std::vector<std::string> words = laterTabs(item);
    Workspace& workspace = platform().workspace();
    const auto location = workspace.urlForApplication(item.appBundleID);
    if (words.empty() || !location) return;
    OpenConfiguration configuration;
    configuration.activates = false;
    configuration.arguments = words;
    // The tabs are the command line's own: no URLs are handed over beside it.
    workspace.openURLs({}, *location, configuration, [bundleID = item.appBundleID](std::optional<std::string> error) {
        if (error) ApplyLog::write("kestr: tabs for " + bundleID + " failed: " + *error);
    });
}

std::vector<std::string> FreshWindowCommand::leftOut(const LayoutItem& item) {
    const KnownApplication* row = KnownApplications::find(item.appBundleID);
    std::vector<std::string> out;
    if (!row || row->endsOptions) return out;
    for (const std::string& value : values(*row, item))
        if (readAsOption(value)) out.push_back(value);
    return out;
}

std::optional<std::vector<std::string>> FreshWindowCommand::argumentsToRun(const LayoutItem& item) {
    for (const std::string& value : leftOut(item))
        ApplyLog::write("kestr[freshWindow]: left \"" + value + "\" out of the command line of " + item.appBundleID +
                        ": it would be read as an option");
    return arguments(item);
}

Task<void> FreshWindowCommand::open(LayoutItem item, double within) {
    const std::string& bundleID = item.appBundleID;
    const auto location = platform().workspace().urlForApplication(bundleID);
    const auto words = argumentsToRun(item);
    if (!location || !words) throw WindowSpawner::SpawnError::noNewWindow(bundleID);
    OpenConfiguration configuration;
    configuration.activates = false;
    configuration.arguments = *words;
    const auto opened = co_await openApplication(*location, configuration, within);
    if (opened && opened->error) {
        ApplyLog::write("kestr: new window for " + bundleID + " failed: " + *opened->error);
        throw WindowSpawner::SpawnError::noNewWindow(bundleID);
    }
}

}  // namespace kestr
