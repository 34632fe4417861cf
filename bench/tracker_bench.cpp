// Cost of one pointer-poll tick of edge resizing with a kest of 12 windows, six on each
// of two displays: once with the pointer far from every edge, once next to one (where
// the window list is read to see whether a foreign window covers it). The pointer moves
// at every tick, so every tick runs the full check. Reports accessibility reads per tick.
#include <benchmark/benchmark.h>

#include "EdgeResize/EdgeProximityTracker.h"
#include "Layout/EdgeGroupDetector.h"
#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

const std::string kDisplays[] = {"11111111-0000-0000-0000-000000000001", "22222222-0000-0000-0000-000000000002"};

struct Desktop {
    SimDesktop sim;
    Layout kest;

    Desktop() {
        installPlatform(&sim);
        SimWorld& world = sim.world();
        world.displays.push_back(SimDisplay{1, kDisplays[0], Rect(0, 0, 1440, 900), Insets{25, 0, 0, 0}});
        world.displays.push_back(SimDisplay{2, kDisplays[1], Rect(1440, 0, 1440, 900), Insets{}});
        // Three columns by two rows on each display.
        for (int i = 0; i < 12; ++i) {
            const int d = i / 6;
            const double x = (i % 3) * 480;
            const double y = 25 + ((i % 6) / 3) * 437.5;
            SimProcess p;
            p.bundleID = "com.example.app" + std::to_string(i);
            p.name = "App " + std::to_string(i);
            SimWindow w;
            w.position = Point{x + d * 1440, y};
            w.size = Size{480, 437.5};
            p.windows.push_back(w);
            world.addProcess(p);
            LayoutItem item;
            item.id = Uuid::random();
            item.appBundleID = *p.bundleID;
            item.targetFrame.displayUUID = kDisplays[d];
            item.targetFrame.x = x;
            item.targetFrame.y = y;
            item.targetFrame.width = 480;
            item.targetFrame.height = 437.5;
            kest.items.push_back(item);
        }
        world.frontmostPid = world.processes().front().pid;
        kest.edgeGroups = EdgeGroupDetector::detectGroups(kest.items, 4.0, 120.0);
        EdgeProximityTracker::shared().setActiveLayout(kest);
    }
    ~Desktop() { installPlatform(nullptr); }
};

void tick(benchmark::State& state, Point a, Point b) {
    Desktop desktop;
    EdgeProximityTracker& tracker = EdgeProximityTracker::shared();
    desktop.sim.simAccessibility().resetCounts();
    bool flip = false;
    for (auto _ : state) {
        desktop.sim.world().pointer = flip ? a : b;
        flip = !flip;
        tracker.pollTick();
    }
    state.counters["ax_reads_per_tick"] = benchmark::Counter(
        static_cast<double>(desktop.sim.simAccessibility().totalReads()) / static_cast<double>(state.iterations()));
}

void BM_PollTickFarFromEdges(benchmark::State& state) { tick(state, Point{200, 200}, Point{210, 210}); }
void BM_PollTickNextToAnEdge(benchmark::State& state) { tick(state, Point{482, 200}, Point{478, 210}); }

BENCHMARK(BM_PollTickFarFromEdges);
BENCHMARK(BM_PollTickNextToAnEdge);

}  // namespace
}  // namespace kestr
