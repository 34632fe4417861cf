#include "Layout/WindowContentReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "Layout/ScriptText.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

constexpr char kFieldSeparator = '\t';
constexpr char kURLSeparator = '\x1f';

std::vector<std::string_view> splitKeepingEmpty(std::string_view text, char separator,
                                                std::size_t maxSplits = std::numeric_limits<std::size_t>::max()) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (pieces.size() < maxSplits) {
        const auto at = text.find(separator, start);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::vector<std::string_view> nonEmptyLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (auto line : splitKeepingEmpty(text, '\n'))
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// A number as the scripting system writes one ("12", "-3.5", "1.0E+4").
std::optional<double> parseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A decimal integer with an optional sign and nothing else.
std::optional<std::int64_t> parseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    constexpr auto maxPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > maxPositive + 1) return std::nullopt;
        return magnitude == maxPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                            : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude > maxPositive) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

// "left,top,right,bottom" as a frame; pieces that are not numbers are dropped, and
// exactly four numbers must remain.
std::optional<Rect> parseBounds(std::string_view field) {
    std::vector<double> numbers;
    for (auto piece : splitKeepingEmpty(field, ',')) {
        if (piece.empty()) continue;
        if (auto n = parseNumber(ScriptText::trimmedSpacesAndTabs(piece))) numbers.push_back(*n);
    }
    if (numbers.size() != 4) return std::nullopt;
    return Rect(numbers[0], numbers[1], numbers[2] - numbers[0], numbers[3] - numbers[1]);
}

}  // namespace

std::string WindowContentReader::finderReadScript() {
    return R"S(set SEP to (ASCII character 9)
set EOL to (ASCII character 10)
set out to ""
tell application id "com.apple.finder"
    set n to count of Finder windows
    repeat with i from 1 to n
        try
            set w to Finder window i
            set p to ""
            try
                set p to POSIX path of (target of w as alias)
            end try
            set sw to -1
            try
                set sw to sidebar width of w
            end try
            set b to bounds of w
            set out to out & ((item 1 of b) as text) & "," & ((item 2 of b) as text) & "," & ((item 3 of b) as text) & "," & ((item 4 of b) as text) & SEP & (sw as text) & SEP & p & EOL
        end try
    end repeat
end tell
return out)S";
}

std::string WindowContentReader::chromeReadScript(const std::string& bundleID) {
    if (!ScriptText::isSafeBundleID(bundleID)) return "";
    return R"S(set SEP to (ASCII character 9)
set EOL to (ASCII character 10)
set USEP to (ASCII character 31)
set out to ""
tell application id ")S" +
           bundleID + R"S("
    set n to count of windows
    repeat with i from 1 to n
        try
            set w to window i
            set b to bounds of w
            set ai to 1
            try
                set ai to active tab index of w
            end try
            set urls to ""
            try
                set tlist to URL of every tab of w
                repeat with k from 1 to (count of tlist)
                    set u to (item k of tlist) as text
                    if k is 1 then
                        set urls to u
                    else
                        set urls to urls & USEP & u
                    end if
                end repeat
            end try
            set out to out & ((item 1 of b) as text) & "," & ((item 2 of b) as text) & "," & ((item 3 of b) as text) & "," & ((item 4 of b) as text) & SEP & (ai as text) & SEP & urls & EOL
        end try
    end repeat
end tell
return out)S";
}

std::string WindowContentReader::ghosttyPaneScript() {
    return R"S(tell application id "com.mitchellh.ghostty"
  set out to ""
  repeat with term in terminals of (selected tab of front window)
    set out to out & (working directory of term) & linefeed
  end repeat
  return out
end tell)S";
}

std::string WindowContentReader::runReturningString(const std::string& source) {
    if (source.empty()) return "";
    const ScriptOutcome outcome = platform().scriptHost().run(source);
    if (!outcome.created || outcome.errorInfo) return "";
    return outcome.stringValue.value_or("");
}

std::vector<WindowContentReader::WindowContent> WindowContentReader::parse(std::string_view output, bool hasSidebar) {
    std::vector<WindowContent> entries;
    for (auto line : nonEmptyLines(output)) {
        const auto fields = splitKeepingEmpty(line, kFieldSeparator, hasSidebar ? 2 : 1);
        if (fields.size() < 2) continue;
        const auto frame = parseBounds(fields[0]);
        if (!frame) continue;
        WindowContent entry;
        entry.frame = *frame;
        if (hasSidebar && fields.size() == 3) {
            const auto width = parseInteger(ScriptText::trimmedSpacesAndTabs(fields[1]));
            if (width && *width >= 0) entry.sidebarWidth = *width;
            entry.value = std::string(fields[2]);
        } else {
            entry.value = std::string(fields[1]);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<WindowContentReader::WindowContent> WindowContentReader::parseChrome(std::string_view output) {
    std::vector<WindowContent> entries;
    for (auto line : nonEmptyLines(output)) {
        const auto fields = splitKeepingEmpty(line, kFieldSeparator, 2);
        if (fields.size() < 3) continue;
        const auto frame = parseBounds(fields[0]);
        if (!frame) continue;
        WindowContent entry;
        entry.frame = *frame;
        if (!fields[2].empty())
            for (auto url : splitKeepingEmpty(fields[2], kURLSeparator)) entry.tabs.emplace_back(url);
        if (!entry.tabs.empty()) {
            const std::int64_t oneBased = parseInteger(ScriptText::trimmedSpacesAndTabs(fields[1])).value_or(1);
            const auto last = static_cast<std::int64_t>(entry.tabs.size()) - 1;
            // Clamped before subtracting, so an extreme index cannot overflow.
            const std::int64_t index = oneBased <= 1 ? 0 : std::min(oneBased - 1, last);
            entry.activeTabIndex = index;
            entry.value = entry.tabs[static_cast<std::size_t>(index)];
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<WindowContentReader::WindowContent> WindowContentReader::bestMatchEntry(
    const Rect& frame, const std::vector<WindowContent>& entries, double tolerance) {
    const WindowContent* best = nullptr;
    double bestDistance = 0;
    for (const auto& entry : entries) {
        const double distance = std::hypot(entry.frame.minX() - frame.minX(), entry.frame.minY() - frame.minY());
        // Written so that a NaN distance never counts as within the tolerance.
        if (!(distance <= tolerance)) continue;
        if (!best || distance < bestDistance) {
            best = &entry;
            bestDistance = distance;
        }
    }
    if (!best) return std::nullopt;
    return *best;
}

std::optional<WindowContentReader::GhosttySplit> WindowContentReader::ghosttySplit(std::int32_t pid) {
    const std::string output = runReturningString(ghosttyPaneScript());
    const auto directories = nonEmptyLines(output);
    if (directories.size() < 2) return std::nullopt;
    auto mode = ghosttyArrangement(pid);
    if (!mode) return std::nullopt;
    GhosttySplit split{std::move(*mode), {}};
    for (auto directory : directories) split.commands.push_back("cd " + ScriptText::shellQuoted(directory));
    return split;
}

std::optional<std::string> WindowContentReader::ghosttyArrangement(std::int32_t pid) {
    std::vector<Rect> frames;
    for (AXElement window : WindowController::windowList(platform().accessibility().createApplication(pid))) {
        auto found = scrollAreaFrames(window, 0);
        if (found.size() > frames.size()) frames = std::move(found);
    }
    if (frames.size() < 2) return std::nullopt;
    const auto [minXIt, maxXIt] = std::minmax_element(frames.begin(), frames.end(),
                                                      [](const Rect& a, const Rect& b) { return a.minX() < b.minX(); });
    const auto [minYIt, maxYIt] = std::minmax_element(frames.begin(), frames.end(),
                                                      [](const Rect& a, const Rect& b) { return a.minY() < b.minY(); });
    const double horizontal = maxXIt->minX() - minXIt->minX();
    const double vertical = maxYIt->minY() - minYIt->minY();
    return horizontal >= vertical ? "columns" : "rows";
}

std::vector<Rect> WindowContentReader::scrollAreaFrames(AXElement element, int depth) {
    if (depth > 12) return {};
    Accessibility& ax = platform().accessibility();
    std::vector<Rect> frames;
    const auto role = ax.copy(element, ax::role);
    const auto* roleText = role ? std::get_if<std::string>(&*role) : nullptr;
    if (roleText && *roleText == ax::scrollAreaRole)
        if (auto frame = axFrame(element)) frames.push_back(*frame);
    const auto children = ax.copy(element, ax::children);
    if (const auto* list = children ? std::get_if<AXElementList>(&*children) : nullptr)
        for (AXElement child : *list) {
            auto inner = scrollAreaFrames(child, depth + 1);
            frames.insert(frames.end(), inner.begin(), inner.end());
        }
    return frames;
}

std::optional<Rect> WindowContentReader::axFrame(AXElement element) {
    Accessibility& ax = platform().accessibility();
    const auto position = ax.copy(element, ax::position);
    const auto size = ax.copy(element, ax::size);
    const auto* point = position ? std::get_if<Point>(&*position) : nullptr;
    const auto* extent = size ? std::get_if<Size>(&*size) : nullptr;
    if (!point || !extent) return std::nullopt;
    return Rect(*point, *extent);
}

}  // namespace kestr
