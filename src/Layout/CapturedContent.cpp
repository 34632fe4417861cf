#include "Layout/CapturedContent.h"

#include <set>

#include "Core/KnownApplications.h"
#include "Layout/ScriptText.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

std::optional<WindowContentReader::WindowContent> nearestEntry(
    const EnumeratedWindow& window, const std::vector<WindowContentReader::WindowContent>& entries) {
    // The frame as enumerated, before any clipping.
    return WindowContentReader::bestMatchEntry(Rect(window.position, window.size), entries,
                                               CapturedContent::matchTolerance);
}

// The number of windows in the process's accessibility window list; 0 when unreadable.
std::size_t accessibilityWindowCount(std::int32_t pid) {
    return WindowController::windowList(platform().accessibility().createApplication(pid)).size();
}

}  // namespace

CapturedContent::CapturedContent(const std::vector<EnumeratedWindow>& windows) {
    std::set<std::string> bundleIDs;
    for (const EnumeratedWindow& w : windows) {
        bundleIDs.insert(w.bundleID);
        if (KnownApplications::scripts(w.bundleID) == ScriptFamily::ghostty) ++ghosttyWindows_;
    }
    // In the table's order, so the scripts run in the same order every time.
    for (const KnownApplication& row : KnownApplications::table()) {
        if (!bundleIDs.count(row.bundleID)) continue;
        if (row.scripts == ScriptFamily::finder) {
            finder_ = WindowContentReader::parse(
                WindowContentReader::runReturningString(WindowContentReader::finderReadScript()), true);
        } else if (row.scripts == ScriptFamily::chrome) {
            chrome_[row.bundleID] = WindowContentReader::parseChrome(
                WindowContentReader::runReturningString(WindowContentReader::chromeReadScript(row.bundleID)));
        }
    }
}

void CapturedContent::fill(LayoutItem& item, const EnumeratedWindow& window) const {
    switch (KnownApplications::scripts(window.bundleID)) {
        case ScriptFamily::finder:
            fillFinder(item, window);
            break;
        case ScriptFamily::chrome:
            fillChrome(item, window);
            break;
        case ScriptFamily::ghostty:
            fillGhostty(item, window);
            break;
        default:
            break;
    }
    fillTerminalFolder(item, window);
}

std::optional<std::string> CapturedContent::terminalFolder(const EnumeratedWindow& window) {
    if (platform().capabilities().applicationsTakeScripts ||
        KnownApplications::commandLine(window.bundleID) != CommandLineFamily::terminal)
        return std::nullopt;
    return platform().workspace().shellFolder(window.pid);
}

void CapturedContent::fillTerminalFolder(LayoutItem& item, const EnumeratedWindow& window) const {
    // The folder comes back as the command that returns to it, as Ghostty's panes do.
    if (const auto folder = terminalFolder(window))
        item.terminalTabs = std::vector<std::string>{"cd " + ScriptText::shellQuoted(*folder)};
}

void CapturedContent::fillFinder(LayoutItem& item, const EnumeratedWindow& window) const {
    auto entry = nearestEntry(window, finder_);
    if (!entry) return;
    if (!entry->value.empty()) item.finderPath = entry->value;
    item.finderSidebarWidth = entry->sidebarWidth;
}

void CapturedContent::fillChrome(LayoutItem& item, const EnumeratedWindow& window) const {
    auto entry = nearestEntry(window, chrome_.at(window.bundleID));
    if (!entry) return;
    if (!entry->tabs.empty()) {
        item.browserTabs = entry->tabs;
        item.browserActiveTabIndex = entry->activeTabIndex;
    }
    if (!entry->value.empty()) item.browserURL = entry->value;
}

void CapturedContent::fillGhostty(LayoutItem& item, const EnumeratedWindow& window) const {
    // The pane script reads Ghostty's front window, so its answer belongs to this window
    // only when it is the one Ghostty window captured and the process shows no other.
    if (ghosttyWindows_ != 1 || accessibilityWindowCount(window.pid) != 1) return;
    auto split = WindowContentReader::ghosttySplit(window.pid);
    if (!split) return;
    item.terminalSplitMode = split->mode;
    item.terminalTabs = split->commands;
}

}  // namespace kestr
