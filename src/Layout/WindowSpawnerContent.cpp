// WindowSpawner's scripts for windows that are already there: filling a window that
// was just taken for an item, adding saved tabs to a reused Chrome window, and listing
// Terminal's profiles.
#include "Core/KnownApplications.h"
#include "Layout/ScriptText.h"
#include "Layout/WindowSpawner.h"
#include "Platform/Platform.h"

namespace kestr {

using ScriptText::line;
using ScriptText::quoted;
using ScriptText::tellApplication;

std::optional<std::string> WindowSpawner::frontBoundsSource(const std::string& bundleID,
                                                            const std::optional<Rect>& frame) {
    const KnownApplication* row = KnownApplications::find(bundleID);
    if (!frame || !row || !row->frontBoundsRef) return std::nullopt;
    return line(tellApplication(bundleID)) + boundsLine(*row->frontBoundsRef, frame) + "end tell";
}

std::string WindowSpawner::terminalSourceReusingFront(const std::vector<std::string>& commands,
                                                      const std::optional<std::string>& profile) {
    return line(tellApplication("com.apple.Terminal")) + line("activate") +
           line("do script " + quoted(commands.front()) + " in window 1") + line("end tell") +
           applyProfileToFrontTab(profile) +
           terminalExtraTabs(std::vector<std::string>(commands.begin() + 1, commands.end()), profile);
}

std::string WindowSpawner::ghosttyReusingFront(const std::vector<std::string>& commands) {
    std::string text =
        line(tellApplication("com.mitchellh.ghostty")) + line("activate") + line("set win to front window") +
        line("input text " + quoted(commands.front()) + " & return to focused terminal of selected tab of win");
    for (std::size_t i = 1; i < commands.size(); ++i) text += ghosttyTabLine(commands[i]);
    return text + "end tell";
}

std::string WindowSpawner::iterm2ReusingFront(const std::vector<std::string>& commands) {
    return line(tellApplication("com.googlecode.iterm2")) + line("activate") + line("set w to current window") +
           iterm2WriteLines(commands) + "end tell";
}

std::optional<std::string> WindowSpawner::setContentSource(const LayoutItem& item,
                                                           const std::optional<std::string>& windowRef) {
    if (!windowRef) return std::nullopt;
    const std::string& bundleID = item.appBundleID;
    const ScriptFamily family = KnownApplications::scripts(bundleID);
    switch (family) {
        case ScriptFamily::finder: {
            const std::string lines = finderContentLines(item, *windowRef);
            if (lines.empty()) return std::nullopt;
            return line(tellApplication(bundleID)) + lines + "end tell";
        }
        case ScriptFamily::chrome: {
            const std::string body = chromeTabsBody(item, *windowRef);
            if (body.empty()) return std::nullopt;
            return line(tellApplication(bundleID)) + body + "end tell";
        }
        case ScriptFamily::safari:
            if (!item.browserURL || item.browserURL->empty()) return std::nullopt;
            return tellApplication(bundleID) + " to set URL of " + *windowRef + " to " + quoted(*item.browserURL);
        case ScriptFamily::none:
            return std::nullopt;
        case ScriptFamily::terminal:
        case ScriptFamily::ghostty:
        case ScriptFamily::iterm2:
            break;
    }
    const auto commands = terminalCommands(item);
    if (commands.empty()) return std::nullopt;
    if (family == ScriptFamily::terminal) return terminalSourceReusingFront(commands, item.terminalProfile);
    if (family == ScriptFamily::ghostty) return ghosttyReusingFront(commands);
    return iterm2ReusingFront(commands);
}

void WindowSpawner::setContentOnFrontWindow(const LayoutItem& item, const std::optional<Rect>& targetGlobalFrame) {
    const auto bounds = frontBoundsSource(item.appBundleID, targetGlobalFrame);
    const KnownApplication* row = KnownApplications::find(item.appBundleID);
    const auto content = setContentSource(item, row ? row->frontWindowRef : std::nullopt);
    std::string source;
    if (bounds) source = *bounds;
    if (content) source += (source.empty() ? "" : "\n") + *content;
    if (source.empty()) return;
    try {
        run(source, item.appBundleID);
    } catch (const Error&) {
        // The window stays as it is; placing it goes on.
    }
}

void WindowSpawner::addSavedTabsToReusedWindow(const LayoutItem& item, const std::string& windowTitle) {
    if (!KnownApplications::isChrome(item.appBundleID) || windowTitle.empty()) return;
    const auto urls = chromeTabURLs(item);
    if (urls.empty()) return;
    std::string urlList;
    for (const auto& url : urls) urlList += (urlList.empty() ? "" : ", ") + quoted(url);
    // The scripting title of a Chrome window is contained in its Accessibility title,
    // which can carry more, such as the browser's name.
    const std::string source =
        line(tellApplication(item.appBundleID)) + line("  repeat with w in windows") + line("    try") +
        line("      if " + quoted(windowTitle) + " contains (title of w) and (title of w) is not \"\" then") +
        line("        set openURLs to URL of tabs of w") + line("        set savedActive to active tab index of w") +
        line("        repeat with u in {" + urlList + "}") + line("          if openURLs does not contain u then") +
        line("            make new tab at end of tabs of w with properties {URL:u}") + line("          end if") +
        line("        end repeat") + line("        try") + line("          set active tab index of w to savedActive") +
        line("        end try") + line("        exit repeat") + line("      end if") + line("    end try") +
        line("  end repeat") + "end tell";
    try {
        run(source, item.appBundleID);
    } catch (const Error&) {
        // The window keeps the tabs it has.
    }
}

std::vector<std::string> WindowSpawner::terminalProfiles() {
    const ScriptOutcome outcome =
        platform().scriptHost().run(tellApplication("com.apple.Terminal") + " to get name of every settings set");
    if (!outcome.created || outcome.errorInfo) return {};
    std::vector<std::string> names;
    for (const auto& item : outcome.listItems)
        if (item) names.push_back(*item);
    return names;
}

}  // namespace kestr
