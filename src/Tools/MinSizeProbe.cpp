#include "Tools/MinSizeProbe.h"

#include "Core/WholeNumber.h"
#include "Platform/AXAttributes.h"
#include "Platform/Platform.h"
#include "Platform/PrintableText.h"
#include "Window/WindowController.h"

namespace kestr {

namespace {

constexpr double settleDeadline = 1.0;
constexpr double maximizeRetryInterval = 0.1;

std::string sizeText(Size s) { return wholeNumberText(s.width) + " × " + wholeNumberText(s.height); }

// Maximises the window again in `directions`. A window manager may drop the state while it
// still carries out the moves before it (openbox does, at times): it is asked again until
// the window shows it, for at most the settle deadline.
Task<void> maximize(AXElement window, AXValue directions) {
    Accessibility& ax = platform().accessibility();
    for (double waited = 0; waited < settleDeadline; waited += maximizeRetryInterval) {
        ax.setAttributeValue(window, ax::maximized, directions);
        co_await sleepUnlessCancelled(maximizeRetryInterval);
        AXValue shown;
        if (ax.copyAttributeValue(window, ax::maximized, shown) == AXError::success && shown == directions) co_return;
    }
}

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
            // A maximised window leaves that state to be measured, and is maximised again
            // after over the frame it had before, which it would otherwise lose to the probe's
            // own (a window manager keeps one frame to give back, the last one set).
            AXValue maximized = std::int64_t{0};
            if (ax.copyAttributeValue(window, ax::maximized, maximized) != AXError::success)
                maximized = std::int64_t{0};
            if (maximized != AXValue{std::int64_t{0}}) {
                ax.setAttributeValue(window, ax::maximized, std::int64_t{0});
                co_await ax.settled(window, settleDeadline);
            }
            const Point position = WindowController::readPosition(window).value_or(Point{});
            const Size normal = WindowController::readSize(window).value_or(*original);
            ax.setAttributeValue(window, ax::size, Size{1, 1});
            co_await sleepUnlessCancelled(0.15);
            // Where a window manager answers later than that, its answer is awaited.
            co_await ax.settled(window, settleDeadline);
            const Size probed = WindowController::readSize(window).value_or(*original);
            ax.setAttributeValue(window, ax::position, position);
            co_await sleepUnlessCancelled(0.05);
            ax.setAttributeValue(window, ax::size, normal);
            co_await ax.settled(window, settleDeadline);
            if (maximized != AXValue{std::int64_t{0}}) co_await maximize(window, maximized);
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
