// One apply of a 30-item kest on the simulated desktop: (a) every window already open,
// moved in reuseExisting; (b) restoreMissing with five of the ten applications to
// launch, whose later items get fresh windows; (c) one application with 240 open
// windows, each an item, in reuseExisting and in restoreMissing, where reads must not
// grow with the square of the windows. Reported per run: CPU time per item
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

struct Shape {
    int apps = 10;
    int windowsPerApp = 3;
    int items() const { return apps * windowsPerApp; }
};
constexpr double launchDelay = 0.1;
constexpr double freshWindowDelay = 0.2;
const std::string displayUUID = "AAAAAAAA-0000-4000-8000-000000000001";

std::string bundleOf(int app) { return "com.example.App" + std::to_string(app); }

// "Doc 1." is not found in "Doc 10.".
std::string titleOf(int k) { return "Doc " + std::to_string(k) + "."; }

double firstWindowDelay(int app) { return 0.4 + 0.1 * app; }

// Slot k of a grid of `count` slots, 6 across up to 30 and 16 across above, filling the
// visible area (0, 25, 1440, 875).
Rect slot(int k, int count) {
    const int across = count <= 30 ? 6 : 16;
    const int down = (count + across - 1) / across;
    const double w = 1440.0 / across, h = 875.0 / down;
    return Rect((k % across) * w, 25 + (k / across) * h, w, h);
}

struct Scenario {
    std::unique_ptr<SimDesktop> sim = std::make_unique<SimDesktop>();
    Layout layout;
    double imposedDelay = 0;
};

// `shape.apps` applications with `shape.windowsPerApp` items each; the first `missing`
// of them are not running, the others show their windows away from their slots.
std::unique_ptr<Scenario> makeScenario(Shape shape, int missing) {
    const int windowsPerApp = shape.windowsPerApp;
    auto s = std::make_unique<Scenario>();
    SimWorld& world = s->sim->world();
    SimDisplay display;
    display.id = 1;
    display.uuid = displayUUID;
    display.bounds = Rect(0, 0, 1440, 900);
    display.insets.top = 25;
    world.displays.push_back(display);

    for (int a = 0; a < shape.apps; ++a) {
        SimApplication app;
        app.bundleID = bundleOf(a);
        app.name = "App" + std::to_string(a);
        app.path = "/Applications/App" + std::to_string(a) + ".app";
        app.launchDelay = launchDelay;
        app.firstWindowDelay = firstWindowDelay(a);
        app.windowTitle = titleOf(a * windowsPerApp);
        app.windowFrame = Rect(200, 200, 600, 400);
        world.install(app);
        if (a < missing) {
            s->imposedDelay += launchDelay + firstWindowDelay(a) + (windowsPerApp - 1) * freshWindowDelay;
            continue;
        }
        const std::int32_t pid = world.launch(app.bundleID).pid;
        for (int w = windowsPerApp - 1; w >= 0; --w) {
            SimWindow window;
            window.title = titleOf(a * windowsPerApp + w);
            window.position = Point{100.0 + 20 * (w % 10), 100.0 + 20 * (a % 10)};
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
    s->layout.name = "Grid";
    for (int k = 0; k < shape.items(); ++k) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = bundleOf(k / windowsPerApp);
        item.appName = "App" + std::to_string(k / windowsPerApp);
        item.windowMatcher = WindowMatcher::titleContains(titleOf(k));
        item.capturedWindowTitle = titleOf(k);
        const Rect r = slot(k, shape.items());
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

Task<void> runApply(Layout layout, LayoutApplier::ApplyMode mode, std::optional<DisplayID> anchor, Outcome* outcome) {
    outcome->report =
        co_await LayoutApplier::apply(std::move(layout), mode, LayoutApplier::FrameSource::target, anchor);
    outcome->finishedAt = platform().mainActor().now();
}

void applyGrid(benchmark::State& state, LayoutApplier::ApplyMode mode, Shape shape, int missing) {
    const int itemCount = shape.items();
    double reads = 0, writes = 0, placed = 0, waited = 0, imposed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = makeScenario(shape, missing);
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
    applyGrid(state, LayoutApplier::ApplyMode::reuseExisting, Shape{}, 0);
}
void BM_ApplyRestoreMissingFiveLaunches(benchmark::State& state) {
    applyGrid(state, LayoutApplier::ApplyMode::restoreMissing, Shape{}, 5);
}
void BM_ApplyOneApplicationManyWindows(benchmark::State& state) {
    applyGrid(state, LayoutApplier::ApplyMode::reuseExisting, Shape{1, 240}, 0);
}
void BM_ApplyOneApplicationManyWindowsRestoreMissing(benchmark::State& state) {
    applyGrid(state, LayoutApplier::ApplyMode::restoreMissing, Shape{1, 240}, 0);
}

BENCHMARK(BM_ApplyAllOpenReuseExisting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyRestoreMissingFiveLaunches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyOneApplicationManyWindows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyOneApplicationManyWindowsRestoreMissing)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestr
