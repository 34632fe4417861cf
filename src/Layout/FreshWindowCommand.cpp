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

std::string firstCommand(const LayoutItem& item) {
    for (const std::string& command : item.terminalTabs.value_or(std::vector<std::string>{})) {
        if (!ScriptText::trimmedSpacesAndTabs(command).empty()) return command;
    }
    return item.runShellCommand.value_or("");
}

std::vector<std::string> browserURLs(const LayoutItem& item) {
    std::vector<std::string> urls;
    for (const auto& tab : item.browserTabs.value_or(std::vector<std::string>{}))
        if (!tab.empty()) urls.push_back(tab);
    if (urls.empty() && item.browserURL && !item.browserURL->empty()) urls.push_back(*item.browserURL);
    return urls;
}

}  // namespace

std::vector<std::string> FreshWindowCommand::terminalCommand(const std::string& folder, const std::string& command) {
    // The folder and the command stay arguments of the script, never part of its text.
    return {"sh", "-c", "cd -- \"$1\" 2>/dev/null; [ -n \"$2\" ] && eval \"$2\"; exec \"${SHELL:-/bin/sh}\"", "sh",
            folder, command};
}

std::optional<std::vector<std::string>> FreshWindowCommand::arguments(const LayoutItem& item) {
    const KnownApplication* row = KnownApplications::find(item.appBundleID);
    if (!row || row->commandLine == CommandLineFamily::none) return std::nullopt;
    std::vector<std::string> out = row->freshWindowOptions;
    switch (row->commandLine) {
        case CommandLineFamily::browser:
            for (const std::string& url : browserURLs(item)) out.push_back(url);
            break;
        case CommandLineFamily::terminal: {
            const std::string folder = firstFolder(item);
            const std::string command = firstCommand(item);
            if (folder.empty() && command.empty()) break;
            out.insert(out.end(), row->executeOption.begin(), row->executeOption.end());
            for (std::string& word : terminalCommand(folder, command)) out.push_back(std::move(word));
            break;
        }
        case CommandLineFamily::fileManager: {
            const std::string folder = item.finderPath && !item.finderPath->empty() ? *item.finderPath : firstFolder(item);
            if (!folder.empty()) out.push_back(folder);
            break;
        }
        case CommandLineFamily::none:
            break;
    }
    return out;
}

Task<void> FreshWindowCommand::open(LayoutItem item) {
    const std::string& bundleID = item.appBundleID;
    const auto location = platform().workspace().urlForApplication(bundleID);
    const auto words = arguments(item);
    if (!location || !words) throw WindowSpawner::SpawnError::noNewWindow(bundleID);
    OpenConfiguration configuration;
    configuration.activates = false;
    configuration.arguments = *words;
    const OpenApplicationResult opened = co_await openApplication(*location, configuration);
    if (opened.error) {
        ApplyLog::write("kestr: new window for " + bundleID + " failed: " + *opened.error);
        throw WindowSpawner::SpawnError::noNewWindow(bundleID);
    }
}

}  // namespace kestr
