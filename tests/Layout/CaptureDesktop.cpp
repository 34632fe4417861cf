#include "Layout/CaptureDesktop.h"

#include <algorithm>

namespace kestr::test {

namespace {

// The application a script addresses, from its "tell application id" line.
std::string addressee(const std::string& source) {
    const std::string marker = "tell application id \"";
    const auto start = source.find(marker);
    if (start == std::string::npos) return "";
    const auto from = start + marker.size();
    return source.substr(from, source.find('"', from) - from);
}

}  // namespace

void CaptureTest::SetUp() {
    DesktopTest::SetUp();
    sim->simScriptHost().handler = [this](const std::string& source) -> std::optional<ScriptOutcome> {
        auto it = scriptOutput.find(addressee(source));
        if (it == scriptOutput.end()) return SimScriptHost::failure(-1728, "no such object");
        return SimScriptHost::success(it->second);
    };
}

void CaptureTest::addDisplays() {
    addDisplay(1, Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0});
    addDisplay(2, Rect(1440, 0, 1920, 1080));
}

SimWindow CaptureTest::windowOnSpace(std::string title, Rect frame, int space) {
    SimWindow w = window(std::move(title), frame);
    w.space = space;
    return w;
}

int CaptureTest::scriptsSentTo(const std::string& bundleID) const {
    const auto& sources = sim->simScriptHost().sources();
    return static_cast<int>(
        std::count_if(sources.begin(), sources.end(), [&](const std::string& s) { return addressee(s) == bundleID; }));
}

const LayoutItem* CaptureTest::itemTitled(const Layout& layout, const std::string& title) {
    for (const LayoutItem& item : layout.items) {
        if (item.capturedWindowTitle == title) return &item;
    }
    return nullptr;
}

}  // namespace kestr::test
