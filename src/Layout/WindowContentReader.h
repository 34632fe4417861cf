// Reads what other applications' windows show — Finder folders and sidebar widths,
// Chrome tabs, Ghostty panes — so a captured kest can restore it later. Reading goes
// through scripts and Accessibility; every failure gives an empty reading, never an
// error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

class WindowContentReader {
public:
    WindowContentReader() = delete;

    // One window as a read script reported it.
    struct WindowContent {
        Rect frame;         // global top-left coordinates, like Accessibility positions
        std::string value;  // Finder folder, or Chrome's active tab URL
        std::optional<std::int64_t> sidebarWidth;
        std::vector<std::string> tabs;
        std::int64_t activeTabIndex = 0;  // 0-based within tabs
        friend bool operator==(const WindowContent&, const WindowContent&) = default;
    };

    struct GhosttySplit {
        std::string mode;  // "columns" or "rows"
        std::vector<std::string> commands;
        friend bool operator==(const GhosttySplit&, const GhosttySplit&) = default;
    };

    // The read scripts. The Chrome one is for "com.google.Chrome" or
    // "com.google.Chrome.canary"; an identifier that is not safe to put in a script
    // gives an empty text, which runs nothing.
    static std::string finderReadScript();
    static std::string chromeReadScript(const std::string& bundleID);
    static std::string ghosttyPaneScript();

    // Runs a script and returns its result as text; "" on any failure.
    static std::string runReturningString(const std::string& source);

    static std::vector<WindowContent> parse(std::string_view output, bool hasSidebar);
    static std::vector<WindowContent> parseChrome(std::string_view output);

    // The entry whose top-left corner is nearest to the frame's, within the tolerance;
    // the first of equally near entries.
    static std::optional<WindowContent> bestMatchEntry(const Rect& frame, const std::vector<WindowContent>& entries,
                                                       double tolerance);

    // The split mode and one "cd" command per pane of Ghostty's front window, or none.
    static std::optional<GhosttySplit> ghosttySplit(std::int32_t pid);

private:
    static std::optional<std::string> ghosttyArrangement(std::int32_t pid);
    static std::vector<Rect> scrollAreaFrames(AXElement element, int depth);
    static std::optional<Rect> axFrame(AXElement element);
};

}  // namespace kestr
