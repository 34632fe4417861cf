#include "Layout/ApplyLog.h"

#include <charconv>

#include "Core/WholeNumber.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// A text value between double quotes, with the characters that would break the quoting
// escaped.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

std::string displayPrefix(const std::string& uuid) { return uuid.substr(0, 8); }

}  // namespace

std::string ApplyLog::modeName(ApplyMode mode) {
    switch (mode) {
        case ApplyMode::freshWindows:
            return "freshWindows";
        case ApplyMode::reuseExisting:
            return "reuseExisting";
        case ApplyMode::restoreMissing:
            return "restoreMissing";
    }
    return "restoreMissing";
}

std::string ApplyLog::matcherText(const WindowMatcher& matcher) {
    if (auto m = matcher.get<WindowMatcher::TitleContains>()) return "titleContains(" + quoted(m->text) + ")";
    if (auto m = matcher.get<WindowMatcher::TitleRegex>()) return "titleRegex(" + quoted(m->pattern) + ")";
    if (auto m = matcher.get<WindowMatcher::WindowIndex>()) return "windowIndex(" + std::to_string(m->index) + ")";
    return "firstWindow";
}

std::string ApplyLog::tag(ApplyMode mode) { return "kestr[apply " + modeName(mode) + "]: "; }

std::string ApplyLog::dropped(ApplyMode mode) { return tag(mode) + "dropped re-entrant apply (one already in flight)"; }

std::string ApplyLog::placement(ApplyMode mode, const LayoutItem& item, const Placement* placement) {
    std::string line = tag(mode) + "PLACEMENT " + item.appName + " [" + matcherText(item.windowMatcher) + "] → ";
    if (!placement) return line + "NONE";
    const Rect& local = placement->local;
    return line + displayPrefix(placement->targetUUID) + " x=" + wholeNumberText(local.minX()) +
           " y=" + wholeNumberText(local.minY()) + " w=" + wholeNumberText(local.width()) +
           " h=" + wholeNumberText(local.height());
}

std::string ApplyLog::applied(ApplyMode mode, const LayoutItem& item) {
    return tag(mode) + "APPLIED " + item.appName + " [" + matcherText(item.windowMatcher) + "]";
}

std::string ApplyLog::skipped(ApplyMode mode, const LayoutItem& item, const std::string& reason) {
    return tag(mode) + "SKIPPED " + item.appName + " — " + reason;
}

std::string ApplyLog::deferred(ApplyMode mode, const LayoutItem& item) {
    return tag(mode) + "DEFERRED " + item.appName + " [" + matcherText(item.windowMatcher) +
           "] — will place when its window opens";
}

std::string ApplyLog::notOpened(ApplyMode mode, int items) {
    return tag(mode) + "SKIPPED " + std::to_string(items) + (items == 1 ? " item" : " items") + " — " +
           notOpenedReason();
}

std::string ApplyLog::notOpenedReason() {
    return "an apply opens at most " + std::to_string(LayoutApplier::maxWindowsOpened) + " windows";
}

std::string ApplyLog::deferredPlaced(const LayoutItem& item, const Placement& placement) {
    return "DEFERRED PLACED " + item.appName + " → " + displayPrefix(placement.targetUUID) +
           " x=" + wholeNumberText(placement.local.minX()) + " y=" + wholeNumberText(placement.local.minY());
}

std::string ApplyLog::deferredGaveUp(const LayoutItem& item, double seconds) {
    // The shortest text that reads back as the wait: "30", "0.3".
    char wait[32];
    char* end = std::to_chars(wait, wait + sizeof wait, seconds).ptr;
    return "DEFERRED GAVE UP " + item.appName + " — no window after " + std::string(wait, end) + "s";
}

std::string ApplyLog::deferredQuit(const LayoutItem& item) {
    return "DEFERRED QUIT " + item.appName + " — the application ended before its window opened";
}

void ApplyLog::writeLate(const std::string& outcome) { write("kestr[apply]: " + outcome); }

void ApplyLog::write(const std::string& line) { platform().log().line(line); }

}  // namespace kestr
