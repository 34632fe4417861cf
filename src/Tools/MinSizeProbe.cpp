#include "Tools/MinSizeProbe.h"

#include "Core/WholeNumber.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

constexpr double settleDeadline = 1.0;

std::string sizeText(Size s) { return wholeNumberText(s.width) + " × " + wholeNumberText(s.height); }

}  // namespace

Task<std::vector<MinSizeProbe::Result>> MinSizeProbe::probeAll(std::set<std::string> bundleIDs) {
    Accessibility& ax = platform().accessibility();
    std::vector<Result> results;
    for (const RunningApplication& app : platform().workspace().runningApplications()) {
        if (!app.bundleIdentifier || !bundleIDs.count(*app.bundleIdentifier)) continue;
        if (app.processIdentifier <= 0) continue;
        for (const AXElement window : WindowController::windowList(ax.createApplication(app.processIdentifier))) {
            const std::string title = WindowController::axString(window, ax::title).value_or("");
            const auto original = WindowController::readSize(window);
            if (!original) continue;
            const Point position = WindowController::readPosition(window).value_or(Point{});
            ax.setAttributeValue(window, ax::size, Size{1, 1});
            co_await sleepUnlessCancelled(0.15);
            // Where a window manager answers later than that, its answer is awaited.
            co_await ax.settled(window, settleDeadline);
            const Size probed = WindowController::readSize(window).value_or(*original);
            ax.setAttributeValue(window, ax::position, position);
            co_await sleepUnlessCancelled(0.05);
            ax.setAttributeValue(window, ax::size, *original);
            co_await ax.settled(window, settleDeadline);
            results.push_back(
                {app.localizedName.value_or("(unknown)"), *app.bundleIdentifier, title, *original, probed});
        }
    }
    co_return results;
}

std::string MinSizeProbe::format(const std::vector<Result>& results) {
    std::string text = "================ Min-size probe ================\n";
    if (results.empty()) return text + "(no matching windows found)\n";
    for (const Result& r : results) {
        const std::string title = r.title.empty() ? "(no title)" : PrintableText::of(r.title);
        text += "[" + PrintableText::of(r.appName) + "] " + title + "\n";
        text += "  bundle: " + PrintableText::of(r.bundleID) + "\n";
        text += "  original: " + sizeText(r.original) + "\n";
        text += "  min     : " + sizeText(r.probed) + "\n";
    }
    return text + std::string(48, '=') + "\n";
}

}  // namespace kestr
