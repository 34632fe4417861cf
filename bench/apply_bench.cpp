// One apply of a 30-item kest on the simulated desktop: (a) every window already open,
// moved in reuseExisting; (b) restoreMissing with five of the ten applications to
// launch, whose later items get fresh windows. Reported per run: CPU time per item
// (seconds/item), accessibility reads and writes per placed window, and the virtual
// time the apply spent against the delays the scenario imposes (launches, first
// windows, fresh windows).

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Layout/LayoutApplier.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

constexpr int appCount = 10;
constexpr int windowsPerApp = 3;
constexpr int itemCount = appCount * windowsPerApp;
constexpr double launchDelay = 0.1;
constexpr double freshWindowDelay = 0.2;
const std::string displayUUID = "AAAAAAAA-0000-4000-8000-000000000001";

std::string bundleOf(int app) { return "com.example.App" + std::to_string(app); }

double firstWindowDelay(int app) { return 0.4 + 0.1 * app; }

// Slot k of a 6 x 5 grid filling the visible area (0, 25, 1440, 875).
Rect slot(int k) { return Rect((k % 6) * 240.0, 25 + (k / 6) * 175.0, 240, 175); }

struct Scenario {
    std::unique_ptr<SimDesktop> sim = std::make_unique<SimDesktop>();
    Layout layout;
    double imposedDelay = 0;
};

// Ten applications with three items each; the first `missing` of them are not running,
// the others show their three windows away from their slots.
std::unique_ptr<Scenario> makeScenario(int missing) {
    auto s = std::make_unique<Scenario>();
    SimWorld& world = s->sim->world();
    SimDisplay display;
    display.id = 1;
    display.uuid = displayUUID;
    display.bounds = Rect(0, 0, 1440, 900);
    display.insets.top = 25;
    world.displays.push_back(display);

    for (int a = 0; a < appCount; ++a) {
        SimApplication app;
        app.bundleID = bundleOf(a);
        app.name = "App" + std::to_string(a);
        app.path = "/Applications/App" + std::to_string(a) + ".app";
        app.launchDelay = launchDelay;
        app.firstWindowDelay = firstWindowDelay(a);
        app.windowTitle = "Doc " + std::to_string(a * windowsPerApp);
        app.windowFrame = Rect(200, 200, 600, 400);
        world.install(app);
        if (a < missing) {
            s->imposedDelay += launchDelay + firstWindowDelay(a) + (windowsPerApp - 1) * freshWindowDelay;
            continue;
        }
        const std::int32_t pid = world.launch(app.bundleID).pid;
        for (int w = windowsPerApp - 1; w >= 0; --w) {
            SimWindow window;
            window.title = "Doc " + std::to_string(a * windowsPerApp + w);
            window.position = Point{100.0 + 20 * w, 100.0 + 20 * a};
            window.size = Size{600, 400};
            world.addWindow(pid, window);
        }
    }

    // The generic fresh-window script opens a window shortly after it runs.
    SimDesktop* sim = s->sim.get();
    sim->simScriptHost().handler = [sim](const std::string& source) -> std::optional<ScriptOutcome> {
        const std::string marker = "tell application id \"";
        const auto at = source.find(marker);
        if (at == std::string::npos || source.find("make new window") == std::string::npos) return std::nullopt;
        const auto from = at + marker.size();
        const std::string bundleID = source.substr(from, source.find('"', from) - from);
        const auto running = sim->world().runningProcesses(bundleID);
        if (running.empty()) return std::nullopt;
        const std::int32_t pid = running.front()->pid;
        sim->virtualTime().schedule(freshWindowDelay, [sim, pid] { sim->world().openNewWindow(pid); });
        return std::nullopt;
    };

    s->layout.id = Uuid::random();
    s->layout.name = "Thirty";
    for (int k = 0; k < itemCount; ++k) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = bundleOf(k / windowsPerApp);
        item.appName = "App" + std::to_string(k / windowsPerApp);
        item.windowMatcher = WindowMatcher::titleContains("Doc " + std::to_string(k));
        item.capturedWindowTitle = "Doc " + std::to_string(k);
        const Rect r = slot(k);
        item.targetFrame.displayUUID = displayUUID;
        item.targetFrame.x = r.x();
        item.targetFrame.y = r.y();
        item.targetFrame.width = r.width();
        item.targetFrame.height = r.height();
        item.launchIfMissing = true;
        s->layout.items.push_back(item);
    }
    return s;
}

struct Outcome {
    std::optional<LayoutApplier::ApplyReport> report;
    double finishedAt = 0;
};

Task<void> runApply(Layout layout, LayoutApplier::ApplyMode mode, std::optional<DisplayID> anchor,
                    Outcome* outcome) {
    outcome->report = co_await LayoutApplier::apply(std::move(layout), mode, LayoutApplier::FrameSource::target,
                                                    anchor);
    outcome->finishedAt = platform().mainActor().now();
}

void applyThirty(benchmark::State& state, LayoutApplier::ApplyMode mode, int missing) {
    double reads = 0, writes = 0, placed = 0, waited = 0, imposed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = makeScenario(missing);
        SimDesktop& sim = *scenario->sim;
        installPlatform(&sim);
        sim.simAccessibility().resetCounts();
        Outcome outcome;
        state.ResumeTiming();

        spawn(runApply(scenario->layout, mode, std::optional<DisplayID>(1), &outcome));
        sim.virtualTime().runUntilIdle(120);

        state.PauseTiming();
        if (!outcome.report || outcome.report->applied != itemCount) state.SkipWithError("not every item was placed");
        reads += static_cast<double>(sim.simAccessibility().totalReads());
        writes += static_cast<double>(sim.simAccessibility().totalWrites());
        placed += outcome.report ? outcome.report->applied : 0;
        waited += outcome.finishedAt;
        imposed += scenario->imposedDelay;
        installPlatform(nullptr);
        scenario.reset();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["cpu_s_per_item"] =
        benchmark::Counter(itemCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["ax_reads_per_window"] = placed > 0 ? reads / placed : 0;
    state.counters["ax_writes_per_window"] = placed > 0 ? writes / placed : 0;
    state.counters["virtual_wait_s"] = waited / runs;
    state.counters["imposed_delay_s"] = imposed / runs;
}

void BM_ApplyAllOpenReuseExisting(benchmark::State& state) {
    applyThirty(state, LayoutApplier::ApplyMode::reuseExisting, 0);
}
void BM_ApplyRestoreMissingFiveLaunches(benchmark::State& state) {
    applyThirty(state, LayoutApplier::ApplyMode::restoreMissing, 5);
}

BENCHMARK(BM_ApplyAllOpenReuseExisting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyRestoreMissingFiveLaunches)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestr
