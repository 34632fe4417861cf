// Cost of one edge move of a kest of four windows (two on each side of a vertical edge),
// through the layout engine's reuse-only apply, and the accessibility calls it makes per
// moved window. The least a move can do per window is the frame writer's two rounds of
// position and size (4 writes) and one read-back of the size; everything above that is
// the engine finding the windows again.
#include <benchmark/benchmark.h>

#include "EdgeResize/EdgeApplier.h"
#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/EdgeGroupDetector.h"
#include "Platform/Date.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

const std::string kDisplay = "11111111-0000-0000-0000-000000000001";

void BM_EdgeMoveOfFourWindows(benchmark::State& state) {
    SimDesktop sim;
    installPlatform(&sim);
    sim.world().displays.push_back(SimDisplay{1, kDisplay, Rect(0, 0, 1440, 900), Insets{}});
    Layout kest;
    kest.id = Uuid::random();
    for (int i = 0; i < 4; ++i) {
        const double x = i < 2 ? 0 : 720;
        const double y = i % 2 ? 450 : 0;
        SimProcess p;
        p.bundleID = "com.example.app" + std::to_string(i);
        SimWindow w;
        w.position = Point{x, y};
        w.size = Size{720, 450};
        p.windows.push_back(w);
        sim.world().addProcess(p);
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = *p.bundleID;
        item.targetFrame.displayUUID = kDisplay;
        item.targetFrame.x = x;
        item.targetFrame.y = y;
        item.targetFrame.width = 720;
        item.targetFrame.height = 450;
        kest.items.push_back(item);
    }
    kest.edgeGroups = EdgeGroupDetector::detectGroups(kest.items, 4.0, 120.0);
    EdgeProximityTracker::shared().setActiveLayout(kest);

    std::uint64_t reads = 0;
    std::uint64_t writes = 0;
    bool even = false;
    for (auto _ : state) {
        const auto& active = *EdgeProximityTracker::shared().activeLayout;
        const auto vertical = std::find_if(active.edgeGroups.begin(), active.edgeGroups.end(),
                                           [](const EdgeGroup& g) { return g.axis == Axis::vertical; });
        sim.simAccessibility().resetCounts();
        spawn(EdgeApplier::applyMove(vertical->id, even ? 720 : 700));
        sim.virtualTime().advance(1);
        reads += sim.simAccessibility().totalReads();
        writes += sim.simAccessibility().totalWrites();
        even = !even;
    }
    const double windows = 4.0 * static_cast<double>(state.iterations());
    state.counters["ax_reads_per_window"] = static_cast<double>(reads) / windows;
    state.counters["ax_writes_per_window"] = static_cast<double>(writes) / windows;
    state.counters["min_reads_per_window"] = 1;
    state.counters["min_writes_per_window"] = 4;
    installPlatform(nullptr);
}

BENCHMARK(BM_EdgeMoveOfFourWindows);

}  // namespace
}  // namespace kestr
