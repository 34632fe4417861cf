// Cost of the placement geometry on kests of growing size: shared-edge detection, the
// column re-flow of one display, and the whole placement computation on a simulated
// desktop. Windows are tiled in a grid with a few points of jitter, so that edges
// cluster as in a real kest; for the re-flow every window is a tenth larger than its
// cell, so that every row and column has to be packed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "Layout/ColumnReflow.h"
#include "Layout/EdgeGroupDetector.h"
#include "Layout/LayoutApplier.h"
#include "Layout/PlacementPlanner.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

const std::string kDisplay = "11111111-0000-0000-0000-000000000001";
const Rect kVisible(0, 25, 5120, 2855);

// Deterministic jitter in [-2, 2] points.
struct Jitter {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    double next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 33) / static_cast<double>(1ull << 31) * 4 - 2;
    }
};

std::vector<LayoutItem> grid(int count, double grow) {
    const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
    const int rows = (count + columns - 1) / columns;
    const double w = kVisible.width() / columns;
    const double h = kVisible.height() / rows;
    Jitter jitter;
    std::vector<LayoutItem> items;
    for (int i = 0; i < count; ++i) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = i % 7 == 0 ? "com.apple.Terminal" : "com.example.app";
        item.targetFrame.displayUUID = kDisplay;
        item.targetFrame.x = kVisible.minX() + (i % columns) * w + jitter.next();
        item.targetFrame.y = kVisible.minY() + (i / columns) * h + jitter.next();
        item.targetFrame.width = w * grow;
        item.targetFrame.height = h * grow;
        items.push_back(std::move(item));
    }
    return items;
}

void BM_DetectGroups(benchmark::State& state) {
    const auto items = grid(static_cast<int>(state.range(0)), 1.0);
    for (auto _ : state) benchmark::DoNotOptimize(EdgeGroupDetector::detectGroups(items, 4.0, 120.0));
    state.SetComplexityN(state.range(0));
}

void BM_ReflowColumns(benchmark::State& state) {
    LayoutApplier::Placements placements;
    std::vector<Uuid> ids;
    for (const auto& item : grid(static_cast<int>(state.range(0)), 1.1)) {
        const auto& f = item.targetFrame;
        placements[item.id] = {1, kDisplay, item.appBundleID, Rect(f.x, f.y, f.width, f.height)};
        ids.push_back(item.id);
    }
    for (auto _ : state) {
        auto copy = placements;
        ColumnReflow::reflowColumns(copy, ids, kVisible);
        benchmark::DoNotOptimize(copy);
    }
    state.SetComplexityN(state.range(0));
}

// The whole placement computation: reading the displays, source regions, mapping onto a smaller live display
// (so every frame is scaled), growth to minimum sizes and the re-flow.
void BM_ComputeTargetFrames(benchmark::State& state) {
    SimDesktop sim;
    installPlatform(&sim);
    SimDisplay display;
    display.id = 1;
    display.uuid = "22222222-0000-0000-0000-000000000002";
    display.bounds = Rect(0, 0, 2560, 1440);
    display.insets.top = 25;
    sim.world().displays.push_back(display);

    const auto items = grid(static_cast<int>(state.range(0)), 1.0);
    const auto source = LayoutApplier::FrameSource::target;
    for (auto _ : state) {
        LayoutApplier::ApplyReport report;
        const DisplaySnapshot displays = DisplaySnapshot::read(items, DisplayID{1});
        const auto regions = PlacementPlanner::computeSourceRegions(items, source, displays);
        benchmark::DoNotOptimize(
            PlacementPlanner::computeTargetFrames(items, source, regions, DisplayID{1}, displays, report));
    }
    state.SetComplexityN(state.range(0));
    installPlatform(nullptr);
}

BENCHMARK(BM_DetectGroups)->Arg(10)->Arg(50)->Arg(200)->Complexity();
BENCHMARK(BM_ReflowColumns)->Arg(10)->Arg(50)->Arg(200)->Complexity();
BENCHMARK(BM_ComputeTargetFrames)->Arg(10)->Arg(50)->Arg(200)->Complexity();

}  // namespace
}  // namespace kestr
