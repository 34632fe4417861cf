#include "Tools/MinSizeProbe.h"

#include "Core/WholeNumber.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

// A cut-short wait only makes the probe faster.
Task<void> settle(double seconds) {
    try {
        co_await sleepFor(seconds);
    } catch (const CancellationError&) {
    }
}

template <class T>
std::optional<T> read(AXElement element, const char* attribute) {
    auto value = platform().accessibility().copy(element, attribute);
    if (!value) return std::nullopt;
    if (auto v = std::get_if<T>(&*value)) return *v;
    return std::nullopt;
}

std::string sizeText(Size s) { return wholeNumberText(s.width) + " × " + wholeNumberText(s.height); }

}  // namespace

Task<std::vector<MinSizeProbe::Result>> MinSizeProbe::probeAll(std::set<std::string> bundleIDs) {
    Accessibility& ax = platform().accessibility();
    std::vector<Result> results;
    for (const RunningApplication& app : platform().workspace().runningApplications()) {
        if (!app.bundleIdentifier || !bundleIDs.count(*app.bundleIdentifier)) continue;
        if (app.processIdentifier <= 0) continue;
        const auto windows = read<AXElementList>(ax.createApplication(app.processIdentifier), "AXWindows");
        if (!windows) continue;
        for (const AXElement window : *windows) {
            const std::string title = read<std::string>(window, "AXTitle").value_or("");
            const auto original = read<Size>(window, "AXSize");
            if (!original) continue;
            const Point position = read<Point>(window, "AXPosition").value_or(Point{});
            ax.setAttributeValue(window, "AXSize", Size{1, 1});
            co_await settle(0.15);
            const Size probed = read<Size>(window, "AXSize").value_or(*original);
            ax.setAttributeValue(window, "AXPosition", position);
            co_await settle(0.05);
            ax.setAttributeValue(window, "AXSize", *original);
            results.push_back({app.localizedName.value_or("(unknown)"), *app.bundleIdentifier, title, *original,
                               probed});
        }
    }
    co_return results;
}

std::string MinSizeProbe::format(const std::vector<Result>& results) {
    std::string text = "================ Min-size probe ================\n";
    if (results.empty()) return text + "(no matching windows found)\n";
    for (const Result& r : results) {
        text += "[" + r.appName + "] " + (r.title.empty() ? "(no title)" : r.title) + "\n";
        text += "  bundle: " + r.bundleID + "\n";
        text += "  original: " + sizeText(r.original) + "\n";
        text += "  min     : " + sizeText(r.probed) + "\n";
    }
    return text + std::string(48, '=') + "\n";
}

}  // namespace kestr
