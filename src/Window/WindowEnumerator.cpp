#include "Window/WindowEnumerator.h"

#include <algorithm>
#include <cstddef>

#include "Core/UnicodeText.h"
#include "Core/WholeNumber.h"
#include "Platform/AXAttributes.h"
#include "Platform/Date.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/DisplayManager.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

const std::string noName = "(unknown)";
const std::string noBundleID = "(no-bundle-id)";

// The text padded with spaces to exactly `width` characters; a text that does not fit
// keeps its first width - 1 characters and one space, so columns never touch.
std::string cell(const std::string& text, std::size_t width) {
    const std::size_t length = UnicodeText::characterCount(text);
    if (length < width) return text + std::string(width - length, ' ');
    return UnicodeText::characterPrefix(text, width - 1) + " ";
}

struct Column {
    const char* name;
    std::size_t width;
};
constexpr Column columns[] = {
    {"#", 4},     {"App", 22}, {"BundleID", 32}, {"PID", 7}, {"Position(global)", 18},
    {"Size", 12}, {"Min", 4},  {"Disp", 10},
};
// The role column has no name: the header runs straight from "Disp" into "Title".
constexpr std::size_t roleWidth = 28;
constexpr std::size_t minimumRuleLength = 80;
constexpr std::size_t uuidPrefixLength = 8;

std::string orNil(const std::optional<std::string>& s) { return s ? *s : "nil"; }

// Names and titles are shown printable: a title with a line break or an escape sequence
// would split its row or drive the terminal showing the dump.
std::string row(std::size_t number, const EnumeratedWindow& w) {
    const std::string cells[] = {
        std::to_string(number),
        PrintableText::of(w.appName),
        PrintableText::of(w.bundleID),
        std::to_string(w.pid),
        "(" + wholeNumberText(w.position.x) + "," + wholeNumberText(w.position.y) + ")",
        wholeNumberText(w.size.width) + "x" + wholeNumberText(w.size.height),
        w.isMinimized ? "Y" : "N",
        w.displayUUID ? UnicodeText::characterPrefix(*w.displayUUID, uuidPrefixLength) : "?",
    };
    std::string line;
    for (std::size_t i = 0; i < std::size(columns); ++i) line += cell(cells[i], columns[i].width);
    line += cell(PrintableText::of(orNil(w.role) + "/" + orNil(w.subrole)), roleWidth);
    line += w.title.empty() ? "(no title)" : PrintableText::of(w.title);
    return line;
}

std::string displayLines() {
    Displays& displays = platform().displays();
    const std::vector<Screen> screens = displays.screens();
    std::string text = "Display count: " + std::to_string(screens.size()) + "\n";
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const auto id = DisplayManager::displayID(screens[i]);
        if (!id) continue;
        const Rect b = displays.displayBounds(*id);
        text += "  Display " + std::to_string(i) + ": AX bounds=(" + wholeNumberText(b.x()) + "," +
                wholeNumberText(b.y()) + ") size=" + wholeNumberText(b.width()) + "x" + wholeNumberText(b.height()) +
                " uuid=" + displays.displayUUIDString(*id).value_or("?") + "\n";
    }
    return text;
}

}  // namespace

std::vector<EnumeratedWindow> WindowEnumerator::enumerateAll() {
    Accessibility& ax = platform().accessibility();
    Displays& displays = platform().displays();
    std::vector<EnumeratedWindow> result;
    for (const RunningApplication& app : platform().workspace().runningApplications()) {
        if (app.activationPolicy != ActivationPolicy::regular || app.processIdentifier < 1) continue;
        const AXElement element = ax.createApplication(app.processIdentifier);
        for (const AXElement& window : WindowController::windowList(element)) {
            EnumeratedWindow w;
            w.appName = app.localizedName.value_or(noName);
            w.bundleID = app.bundleIdentifier.value_or(noBundleID);
            w.pid = app.processIdentifier;
            w.title = WindowController::axString(window, ax::title).value_or("");
            w.position = WindowController::readPosition(window).value_or(Point{});
            w.size = WindowController::readSize(window).value_or(Size{});
            w.isMinimized = WindowController::axBool(window, ax::minimized).value_or(false);
            w.role = WindowController::axString(window, ax::role);
            w.subrole = WindowController::axString(window, ax::subrole);
            if (w.role && *w.role != ax::windowRole) continue;
            w.limits = WindowController::limits(window);
            if (const auto display = DisplayManager::display(w.position)) {
                const Rect bounds = displays.displayBounds(*display);
                w.displayUUID = displays.displayUUIDString(*display);
                w.displayLocalPosition = Point{w.position.x - bounds.x(), w.position.y - bounds.y()};
            }
            result.push_back(std::move(w));
        }
    }
    return result;
}

std::string WindowEnumerator::makeDumpText() {
    const std::vector<EnumeratedWindow> windows = enumerateAll();
    const bool trusted = platform().accessibility().isProcessTrusted();

    std::string text = "================ kestr Window Dump ================\n";
    text += "Generated: " + Date{platform().clock().now()}.iso8601String().value_or("?") + "\n";
    text += std::string("Accessibility trusted: ") + (trusted ? "true" : "false") + "\n";
    text += displayLines();
    text += "Windows enumerated: " + std::to_string(windows.size()) + "\n\n";

    std::string header;
    for (const Column& c : columns) header += cell(c.name, c.width);
    header += "Title";
    text += header + "\n";
    text += std::string(std::max(UnicodeText::characterCount(header), minimumRuleLength), '-') + "\n";
    for (std::size_t i = 0; i < windows.size(); ++i) text += row(i + 1, windows[i]) + "\n";
    text += std::string(60, '=') + "\n";
    return text;
}

}  // namespace kestr
