// --dump-content: what the content read scripts see, and which window each reading
// would be matched to; where applications take no scripts, what capture reads instead
// (each terminal's folder, from its shell) and, once, what it cannot read.
#include <algorithm>
#include <optional>
#include <set>

#include "App/DiagnosticModes.h"
#include "Core/KnownApplications.h"
#include "Core/NumberText.h"
#include "Core/WholeNumber.h"
#include "Layout/CapturedContent.h"
#include "Layout/WindowContentReader.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/WindowEnumerator.h"

namespace kestr {

namespace {

const char* const emptyListLine = "  (empty — script failed, permission denied, or no windows)\n";

bool isFinder(const std::string& id) { return KnownApplications::scripts(id) == ScriptFamily::finder; }
bool isBrowser(const std::string& id) { return KnownApplications::isChrome(id); }

std::string rectangle(const Rect& r) {
    return "(" + floatText(r.x()) + ", " + floatText(r.y()) + ", " + floatText(r.width()) + ", " +
           floatText(r.height()) + ")";
}

// Runs one script and reports it in exactly one line.
void rawRun(ConsoleOutput& output, const std::string& label, const std::string& source) {
    const ScriptOutcome outcome = platform().scriptHost().run(source);
    if (!outcome.created) {
        output.out("  [" + label + "] compile failed\n");
        return;
    }
    if (!outcome.errorInfo) {
        output.out("  [" + label + "] OK → " + outcome.stringValue.value_or("(non-string)") + "\n");
        return;
    }
    output.out("  [" + label + "] ERROR " + std::to_string(outcome.errorNumber()) + ": " +
               outcome.errorMessage().value_or("?") + "\n");
}

// "  ID  pos=(x,y)  size=(w,h)  title=TITLE", the title as it may be printed.
std::string windowLine(const EnumeratedWindow& w) {
    return "  " + PrintableText::of(w.bundleID) + "  pos=(" + wholeNumberText(w.position.x) + "," +
           wholeNumberText(w.position.y) + ")  size=(" + wholeNumberText(w.size.width) + "," +
           wholeNumberText(w.size.height) + ")  title=" + PrintableText::of(w.title);
}

// The desktop without scripts: each terminal window with the folder of its shell.
void terminalFolders(ConsoleOutput& output, const std::vector<EnumeratedWindow>& windows) {
    output.out("=== Terminal windows (bundleID @ position size: folder of its shell) ===\n");
    bool any = false;
    for (const auto& w : windows) {
        if (KnownApplications::commandLine(w.bundleID) != CommandLineFamily::terminal) continue;
        any = true;
        const auto folder = CapturedContent::terminalFolder(w);
        output.out(windowLine(w) + "  folder=" + (folder ? PrintableText::of(*folder) : "(not known)") + "\n");
    }
    if (!any) output.out("  (no terminal windows)\n");
    output.out(
        "\n=== Not read on this desktop ===\n"
        "  Browser tabs, file-manager folders and a terminal's tabs and panes: applications here take no "
        "scripts, so capture stores none of them (a terminal's folder only where one shell runs for one "
        "window).\n");
}

void listEntries(ConsoleOutput& output, const std::vector<WindowContentReader::WindowContent>& entries,
                 const char* valueName) {
    if (entries.empty()) {
        output.out(emptyListLine);
        return;
    }
    for (const auto& entry : entries)
        output.out("  frame=" + rectangle(entry.frame) + "  " + valueName + "=" + entry.value + "\n");
}

}  // namespace

Task<int> DiagnosticModes::contentDump(ConsoleOutput& output) {
    const auto windows = WindowEnumerator::enumerateAll();
    if (!platform().capabilities().applicationsTakeScripts) {
        terminalFolders(output, windows);
        co_return 0;
    }
    std::set<std::string> bundleIDs;
    for (const auto& w : windows) bundleIDs.insert(w.bundleID);

    output.out("=== AX windows (bundleID @ position size) ===\n");
    for (const auto& w : windows) {
        if (!isFinder(w.bundleID) && !isBrowser(w.bundleID)) continue;
        output.out(windowLine(w) + "\n");
    }

    output.out("\n=== Finder read (in-process) ===\n");
    std::vector<WindowContentReader::WindowContent> finder;
    if (std::any_of(bundleIDs.begin(), bundleIDs.end(), isFinder))
        finder = WindowContentReader::parse(
            WindowContentReader::runReturningString(WindowContentReader::finderReadScript()), true);
    listEntries(output, finder, "path");

    output.out("\n=== Chrome read (in-process) ===\n");
    std::vector<WindowContentReader::WindowContent> chrome;
    // With both browsers running, the first in the table (Chrome) is read.
    std::optional<std::string> browser;
    for (const KnownApplication& row : KnownApplications::table()) {
        if (!browser && row.scripts == ScriptFamily::chrome && bundleIDs.count(row.bundleID)) browser = row.bundleID;
    }
    if (browser) {
        chrome = WindowContentReader::parseChrome(
            WindowContentReader::runReturningString(WindowContentReader::chromeReadScript(*browser)));
        rawRun(output, "chrome-raw", "tell application id \"" + *browser + "\" to get URL of active tab of window 1");
    }
    listEntries(output, chrome, "url");

    output.out("\n=== Finder target probe (in-process) ===\n");
    const std::string tellFinder = "tell application id \"com.apple.finder\" to ";
    rawRun(output, "finder-count", tellFinder + "count of Finder windows");
    rawRun(output, "finder-w1-name", tellFinder + "get name of Finder window 1");
    rawRun(output, "finder-w1-target-url", tellFinder + "get URL of (target of Finder window 1)");
    rawRun(output, "finder-w1-target-posix", tellFinder + "get POSIX path of (target of Finder window 1 as alias)");

    output.out("\n=== bestMatch per window ===\n");
    for (const auto& w : windows) {
        const bool finderWindow = isFinder(w.bundleID);
        if (!finderWindow && !isBrowser(w.bundleID)) continue;
        const auto match =
            WindowContentReader::bestMatchEntry(Rect(w.position, w.size), finderWindow ? finder : chrome, 24);
        const std::string value = match && !match->value.empty() ? match->value : "(no match)";
        output.out(std::string(finderWindow ? "  Finder  → " : "  Chrome  → ") + value + "\n");
    }
    co_return 0;
}

}  // namespace kestr
