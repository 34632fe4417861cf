// Capturing a desktop of 100 windows of 10 applications (Finder and Chrome among them,
// with their content scripts answering): time per window and accessibility reads per
// window, the cost that dominates on a real desktop.
#include <benchmark/benchmark.h>

#include <string>

#include "Layout/LayoutCapture.h"
#include "Platform/Sim/SimDesktop.h"

namespace {

using namespace kestr;

constexpr int applications = 10;
constexpr int windowsPerApplication = 10;
constexpr int windows = applications * windowsPerApplication;

std::string bundleIDOf(int app) {
    if (app == 0) return "com.apple.finder";
    if (app == 1) return "com.google.Chrome";
    return "com.example.app" + std::to_string(app);
}

// The script lines that report the windows of one application.
std::string scriptLines(int app, const std::string& extra) {
    std::string out;
    for (int w = 0; w < windowsPerApplication; ++w) {
        const int x = 40 * app + 10 * w, y = 30 + 60 * w;
        out += std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 800) + "," +
               std::to_string(y + 500) + "\t" + extra + "\n";
    }
    return out;
}

void populate(SimDesktop& sim) {
    SimWorld& world = sim.world();
    world.displays.push_back(
        SimDisplay{1, "0A0A0A0A-0000-4000-8000-00000000000A", Rect(0, 0, 2560, 1440), Insets{25, 0, 0, 0}});
    for (int app = 0; app < applications; ++app) {
        SimProcess process;
        process.bundleID = bundleIDOf(app);
        process.name = "App " + std::to_string(app);
        for (int w = 0; w < windowsPerApplication; ++w) {
            SimWindow window;
            window.title = "Window " + std::to_string(w % 7);  // some titles repeat
            window.position = Point{40.0 * app + 10.0 * w, 30.0 + 60.0 * w};
            window.size = Size{800, 500};
            window.space = w % 4 == 3 ? 2 : 1;
            process.windows.push_back(window);
        }
        world.addProcess(std::move(process));
    }
    const std::string finder = scriptLines(0, "220\t/Users/a/Documents/");
    const std::string chrome = scriptLines(1, "1\thttps://a.example/\x1fhttps://b.example/");
    sim.simScriptHost().handler = [finder, chrome](const std::string& source) -> std::optional<ScriptOutcome> {
        if (source.find("\"com.apple.finder\"") != std::string::npos) return SimScriptHost::success(finder);
        if (source.find("\"com.google.Chrome\"") != std::string::npos) return SimScriptHost::success(chrome);
        return SimScriptHost::success("");
    };
}

void BM_CaptureHundredWindows(benchmark::State& state) {
    SimDesktop sim;
    installPlatform(&sim);
    populate(sim);
    sim.simAccessibility().resetCounts();
    std::size_t items = 0;
    for (auto _ : state) {
        Layout layout = LayoutCapture::captureCurrent("bench", std::nullopt, false);
        items = layout.items.size();
        benchmark::DoNotOptimize(layout);
    }
    const double captured = static_cast<double>(state.iterations()) * windows;
    state.SetItemsProcessed(static_cast<std::int64_t>(captured));
    state.counters["time_per_window"] =
        benchmark::Counter(captured, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["ax_reads_per_window"] = static_cast<double>(sim.simAccessibility().totalReads()) / captured;
    state.counters["items"] = static_cast<double>(items);
    installPlatform(nullptr);
}
BENCHMARK(BM_CaptureHundredWindows)->Unit(benchmark::kMillisecond);

}  // namespace
