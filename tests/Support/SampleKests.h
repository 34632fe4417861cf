// Deterministic kests for tests and benchmarks: every optional field in use, so that a
// round trip or a mutation touches each rule of the stored form.
#pragma once

#include <string>

#include "Core/Layout.h"

namespace kestr::test {

// A UUID whose bytes spell out `tag` and `n`, so tests can recreate it.
inline Uuid sampleUuid(std::uint8_t tag, std::uint32_t n) {
    Uuid u;
    u.bytes[0] = tag;
    for (int i = 0; i < 4; ++i) u.bytes[12 + i] = static_cast<std::uint8_t>(n >> (8 * (3 - i)));
    u.bytes[6] = 0x4a;
    u.bytes[8] = 0xbc;
    return u;
}

inline ScreenFrame sampleFrame(double x, double y) {
    return ScreenFrame{"37D8832A-2D66-02CA-B9F7-8F30A301B230", x, y, 812.5, 640.25, 1728, 1117, -1728, 0.5};
}

// Item `n` of a kest; its matcher cycles through the four cases.
inline LayoutItem sampleItem(std::uint32_t n) {
    LayoutItem item;
    item.id = sampleUuid(0x17, n);
    item.appBundleID = "com.example.app" + std::to_string(n % 7);
    item.appName = "App/Ünïcode \"" + std::to_string(n) + "\"";
    switch (n % 4) {
        case 0:
            item.windowMatcher = WindowMatcher::titleContains("Report – draft");
            break;
        case 1:
            item.windowMatcher = WindowMatcher::titleRegex("^Inbox \\(\\d+\\)$");
            break;
        case 2:
            item.windowMatcher = WindowMatcher::windowIndex(static_cast<std::int64_t>(n));
            break;
        default:
            item.windowMatcher = WindowMatcher::firstWindow();
            break;
    }
    item.targetFrame = sampleFrame(10.125 * n, 0.1 + n);
    item.capturedFrame = sampleFrame(-3.5, 1e-7 * n);
    item.capturedWindowTitle = "Window " + std::to_string(n);
    item.capturedSpaceLabel = n % 2 ? "This Space" : "Other Space";
    item.launchIfMissing = n % 3 != 0;
    item.launchArguments = std::vector<std::string>{"--new-window", "-x"};
    item.openURL = Url::parse("https://example.com/a/b?q=1#frag");
    item.openFiles = std::vector<Url>{*Url::parse("file:///Users/kim/Documents/Plan%20B.txt")};
    item.openFolders = std::vector<Url>{*Url::parse("file:///Users/kim/Projects/")};
    item.runShellCommand = "cd ~/src && make";
    item.finderPath = "/Users/kim/Projects";
    item.browserURL = "https://example.org/path/" + std::to_string(n);
    item.browserTabs = std::vector<std::string>{"https://example.org/1", "https://example.org/2"};
    item.browserActiveTabIndex = 1;
    item.terminalTabs = std::vector<std::string>{"htop", "tail -f /var/log/system.log"};
    item.terminalProfile = "Pro";
    item.terminalSplitMode = n % 2 ? "columns" : "rows";
    item.finderSidebarWidth = 180;
    return item;
}

inline Layout sampleKest(std::uint32_t n, std::uint32_t itemCount) {
    Layout kest;
    kest.id = sampleUuid(0x4e, n);
    kest.name = "Kest " + std::to_string(n) + " / main";
    kest.hotkey = Hotkey{18 + n % 9, 0x1900};
    for (std::uint32_t i = 0; i < itemCount; ++i) kest.items.push_back(sampleItem(n * 100 + i));
    for (std::uint32_t g = 0; g + 1 < itemCount && g < 2; ++g) {
        EdgeGroup group;
        group.id = sampleUuid(0xe6, n * 100 + g);
        group.axis = g % 2 ? Axis::horizontal : Axis::vertical;
        group.displayUUID = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
        group.coordinate = 864.5;
        group.leftOrTopItems = {{kest.items[g].id, g % 2 ? WindowEdge::bottom : WindowEdge::right}};
        group.rightOrBottomItems = {{kest.items[g + 1].id, g % 2 ? WindowEdge::top : WindowEdge::left}};
        group.minCoordinate = 120;
        group.maxCoordinate = 1608;
        group.spanStart = 25;
        group.spanEnd = 1117;
        kest.edgeGroups.push_back(group);
    }
    kest.createdAt = Date{1714555800.0 + n};
    kest.updatedAt = Date{1714642200.0 + n};
    return kest;
}

inline LayoutDocument sampleDocument(std::uint32_t kests, std::uint32_t itemsPerKest) {
    LayoutDocument document;
    for (std::uint32_t n = 0; n < kests; ++n) document.layouts.push_back(sampleKest(n, itemsPerKest));
    return document;
}

}  // namespace kestr::test
