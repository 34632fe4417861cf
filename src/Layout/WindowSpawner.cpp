// The script runner and the fresh-window scripts.
#include "Layout/WindowSpawner.h"

#include "Core/KnownApplications.h"
#include "Layout/ScriptText.h"
#include "Platform/Platform.h"

namespace kestr {

using ScriptText::line;
using ScriptText::quoted;
using ScriptText::tellApplication;
using ScriptText::tryBlock;

WindowSpawner::SpawnError::SpawnError(Kind kind, std::string bundleID, std::int64_t code, std::string message,
                                      const std::string& text)
    : Error(text), kind_(kind), bundleID_(std::move(bundleID)), code_(code), message_(std::move(message)) {}

WindowSpawner::SpawnError WindowSpawner::SpawnError::notPermitted(const std::string& bundleID) {
    return SpawnError(Kind::notPermitted, bundleID, 0, "",
                      "Automation permission needed to open a new window in " + bundleID + ".");
}

WindowSpawner::SpawnError WindowSpawner::SpawnError::scriptFailed(const std::string& bundleID, std::int64_t code,
                                                                  const std::string& message) {
    return SpawnError(Kind::scriptFailed, bundleID, code, message,
                      platform().wording().newWindowRefused(bundleID, code, message));
}

WindowSpawner::SpawnError WindowSpawner::SpawnError::noNewWindow(const std::string& bundleID) {
    return SpawnError(Kind::noNewWindow, bundleID, 0, "", "Asked " + bundleID + " for a new window but none appeared.");
}

void WindowSpawner::run(const std::string& source, const std::string& bundleID) {
    if (source.empty()) throw SpawnError::scriptFailed(bundleID, 0, "could not compile script");
    const ScriptOutcome outcome = platform().scriptHost().run(source);
    if (!outcome.created) throw SpawnError::scriptFailed(bundleID, 0, "could not compile script");
    if (!outcome.errorInfo) return;
    const std::int64_t code = outcome.errorNumber();
    // -1743: the user has not allowed kestr to control that application.
    if (code == -1743) throw SpawnError::notPermitted(bundleID);
    throw SpawnError::scriptFailed(bundleID, code, outcome.errorMessage().value_or("unknown error"));
}

std::string WindowSpawner::boundsLine(const std::string& ref, const std::optional<Rect>& frame) {
    if (!frame) return "";
    using ScriptText::roundedWholeNumber;
    return line("try") +
           line("set bounds of " + ref + " to {" + roundedWholeNumber(frame->minX()) + ", " +
                roundedWholeNumber(frame->minY()) + ", " + roundedWholeNumber(frame->maxX()) + ", " +
                roundedWholeNumber(frame->maxY()) + "}") +
           line("end try");
}

std::vector<std::string> WindowSpawner::chromeTabURLs(const LayoutItem& item) {
    std::vector<std::string> urls;
    for (const auto& tab : item.browserTabs.value_or(std::vector<std::string>{}))
        if (!tab.empty()) urls.push_back(tab);
    if (urls.empty() && item.browserURL && !item.browserURL->empty()) urls.push_back(*item.browserURL);
    return urls;
}

std::string WindowSpawner::chromeTabsBody(const LayoutItem& item, const std::string& windowRef) {
    const auto urls = chromeTabURLs(item);
    if (urls.empty()) return "";
    std::string body = tryBlock("set URL of active tab of " + windowRef + " to " + quoted(urls.front()));
    for (std::size_t i = 1; i < urls.size(); ++i)
        body +=
            tryBlock("make new tab at end of tabs of " + windowRef + " with properties {URL:" + quoted(urls[i]) + "}");
    body += tryBlock("set active tab index of " + windowRef + " to 1");
    return body;
}

std::vector<std::string> WindowSpawner::terminalCommands(const LayoutItem& item) {
    std::vector<std::string> commands;
    for (const auto& command : item.terminalTabs.value_or(std::vector<std::string>{}))
        if (!ScriptText::trimmedSpacesAndTabs(command).empty()) commands.push_back(command);
    return commands;
}

std::string WindowSpawner::applyProfileToFrontTab(const std::optional<std::string>& profile) {
    if (!profile || profile->empty()) return "";
    return line(tellApplication("com.apple.Terminal")) +
           tryBlock("set current settings of selected tab of front window to settings set " + quoted(*profile)) +
           line("end tell");
}

std::string WindowSpawner::terminalExtraTabs(const std::vector<std::string>& commands,
                                             const std::optional<std::string>& profile) {
    std::string text;
    for (const auto& command : commands) {
        // A new tab is a Command-T typed into Terminal; the pauses let it open.
        text += line("delay 0.35") + line("tell application \"System Events\"") + line("tell process \"Terminal\"") +
                line("set frontmost to true") + line("keystroke \"t\" using command down") + line("end tell") +
                line("end tell") + line("delay 0.35") +
                line(tellApplication("com.apple.Terminal") + " to do script " + quoted(command) + " in front window") +
                applyProfileToFrontTab(profile);
    }
    return text;
}

std::string WindowSpawner::terminalSource(const std::vector<std::string>& commands,
                                          const std::optional<std::string>& profile,
                                          const std::optional<Rect>& bounds) {
    const std::string tell = line(tellApplication("com.apple.Terminal"));
    if (commands.empty()) return tell + line("do script \"\"") + boundsLine("front window", bounds) + "end tell";
    return tell + line("activate") + line("do script " + quoted(commands.front())) +
           boundsLine("front window", bounds) + line("end tell") + applyProfileToFrontTab(profile) +
           terminalExtraTabs(std::vector<std::string>(commands.begin() + 1, commands.end()), profile);
}

std::string WindowSpawner::ghosttySource(const std::vector<std::string>& commands,
                                         const std::optional<std::string>& splitMode) {
    const std::string tell = line(tellApplication("com.mitchellh.ghostty"));
    if (commands.empty()) return tell + line("new window") + "end tell";
    std::optional<std::string> direction;
    if (splitMode == "columns") direction = "right";
    if (splitMode == "rows") direction = "down";
    std::string text = tell + line("set win to new window with configuration " + initialInput(commands.front()));
    for (std::size_t i = 1; i < commands.size(); ++i)
        text += direction ? line("split (focused terminal of selected tab of win) direction " + *direction +
                                 " with configuration " + initialInput(commands[i]))
                          : ghosttyTabLine(commands[i]);
    return text + "end tell";
}

std::string WindowSpawner::initialInput(const std::string& command) {
    return "{initial input:" + quoted(command) + " & return}";
}

std::string WindowSpawner::ghosttyTabLine(const std::string& command) {
    return line("new tab in win with configuration " + initialInput(command));
}

std::string WindowSpawner::iterm2WriteLines(const std::vector<std::string>& commands) {
    std::string text;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (i > 0) text += line("tell w to create tab with default profile");
        text += line("tell current session of w to write text " + quoted(commands[i]));
    }
    return text;
}

std::string WindowSpawner::iterm2Source(const std::vector<std::string>& commands, const std::optional<Rect>& bounds) {
    const std::string start = line(tellApplication("com.googlecode.iterm2")) + line("activate");
    if (commands.empty()) return start + line("create window with default profile") + "end tell";
    return start + line("set w to (create window with default profile)") + boundsLine("w", bounds) +
           iterm2WriteLines(commands) + "end tell";
}

std::string WindowSpawner::finderContentLines(const LayoutItem& item, const std::string& windowRef) {
    std::string text;
    if (item.finderPath && !item.finderPath->empty())
        text += tryBlock("set target of " + windowRef + " to (POSIX file " + quoted(*item.finderPath) + " as alias)");
    if (item.finderSidebarWidth)
        text += tryBlock("set sidebar width of " + windowRef + " to " + std::to_string(*item.finderSidebarWidth));
    return text;
}

std::string WindowSpawner::makeWindowSource(const LayoutItem& item, const std::optional<Rect>& targetGlobalFrame) {
    const std::string& bundleID = item.appBundleID;
    switch (KnownApplications::scripts(bundleID)) {
        case ScriptFamily::finder:
            return line(tellApplication(bundleID)) + line("set w to make new Finder window") +
                   boundsLine("w", targetGlobalFrame) + finderContentLines(item, "w") + "end tell";
        case ScriptFamily::safari: {
            const bool hasURL = item.browserURL && !item.browserURL->empty();
            return line(tellApplication(bundleID)) +
                   line(hasURL ? "make new document with properties {URL:" + quoted(*item.browserURL) + "}"
                               : "make new document") +
                   boundsLine("front window", targetGlobalFrame) + "end tell";
        }
        case ScriptFamily::chrome:
            return line(tellApplication(bundleID)) + line("set w to make new window") +
                   boundsLine("w", targetGlobalFrame) + chromeTabsBody(item, "w") + "end tell";
        case ScriptFamily::terminal:
            return terminalSource(terminalCommands(item), item.terminalProfile, targetGlobalFrame);
        case ScriptFamily::ghostty:
            return ghosttySource(terminalCommands(item), item.terminalSplitMode);
        case ScriptFamily::iterm2:
            return iterm2Source(terminalCommands(item), targetGlobalFrame);
        case ScriptFamily::none:
            break;
    }
    // Any other application: the generic request, which inserts the identifier itself.
    if (!ScriptText::isSafeBundleID(bundleID)) return "";
    return tellApplication(bundleID) + " to make new window";
}

}  // namespace kestr
