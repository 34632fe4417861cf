#include "Core/KnownApplications.h"

#include <algorithm>

namespace kestr {

const std::vector<KnownApplication>& KnownApplications::table() {
    static const std::vector<KnownApplication> rows = {
        {"com.apple.finder", ScriptFamily::finder, "Finder window 1", "Finder window 1", false, false,
         Size{316, 288}, std::nullopt},
        {"com.apple.Safari", ScriptFamily::safari, "front window", "document 1", true, false, std::nullopt,
         std::nullopt},
        {"com.google.Chrome", ScriptFamily::chrome, "window 1", "window 1", true, false, std::nullopt,
         "Google/Chrome"},
        {"com.google.Chrome.canary", ScriptFamily::chrome, "window 1", "window 1", true, false, std::nullopt,
         "Google/Chrome Canary"},
        {"com.apple.Terminal", ScriptFamily::terminal, "window 1", "window 1", true, true, Size{260, 212},
         std::nullopt},
        {"com.mitchellh.ghostty", ScriptFamily::ghostty, std::nullopt, "front window", true, true, std::nullopt,
         std::nullopt},
        {"com.googlecode.iterm2", ScriptFamily::iterm2, "current window", "current window", true, true,
         std::nullopt, std::nullopt},
    };
    return rows;
}

const KnownApplication* KnownApplications::find(const std::string& bundleID) {
    const auto& rows = table();
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const KnownApplication& row) {
        return row.bundleID == bundleID;
    });
    return it == rows.end() ? nullptr : &*it;
}

ScriptFamily KnownApplications::scripts(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row ? row->scripts : ScriptFamily::none;
}

bool KnownApplications::titleDrifts(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->titleDrifts;
}

bool KnownApplications::titleStable(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->scripts != ScriptFamily::none && !row->titleDrifts;
}

bool KnownApplications::startsWithoutWindow(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    return row && row->startsWithoutWindow;
}

Size KnownApplications::minimumSize(const std::string& bundleID) {
    const KnownApplication* row = find(bundleID);
    if (row && row->minimumSize) return *row->minimumSize;
    return Size{defaultMinimumSide, defaultMinimumSide};
}

bool KnownApplications::isChromeWebApp(const std::string& bundleID) {
    return bundleID.starts_with("com.google.Chrome.app.");
}

}  // namespace kestr
