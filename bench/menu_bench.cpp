// Cost of what kestr does with many kests when it registers their shortcuts at start-up
// and when a tray opens the status menu, with the kests on three shared shortcuts and
// without (no shortcut of their own: nine get the automatic digits). The shared ones are
// held by kestr's own first three kests (shared=1), by another program (2), lacking from
// the keyboard (3), or the first by another program and the other two lacking (4): all
// but three, or all, refused. Each should grow linearly with the kests.
// - registration: the synchronisation and the refusals the start-up names in the log;
// - menu build: the status menu made from scratch;
// - the Snaps page's owners: naming who holds each key another program holds and each
//   key kestr's own shortcuts reserve;
// - tray opening: what a D-Bus tray's AboutToShow costs before it reads the layout, the
//   menu unchanged since it was last made.
// On the simulated desktop, with Qt on its offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <memory>

#include "App/MenuBarController.h"
#include "Core/HotkeyConflictNames.h"
#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/Sim/SimDesktop.h"
#include "Snap/SnapDefaults.h"
#include "Snap/SnapShortcutsModel.h"
#include "Support/ItemBuilder.h"
#include "UI/Shell/DBusMenuExporter.h"
#include "UI/Shell/StatusMenu.h"
#include "UI/Shell/TrayStatusItem.h"

namespace kestr {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "kestr-menu-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // No session bus: the tray's menu is answered in this process.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("DISPLAY");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// `count` kests of one window each; with `shared`, on ⌘A, ⌘S and ⌘D in turn.
constexpr std::uint32_t sharedKeys[] = {0, 1, 2};
std::vector<Layout> kests(std::int64_t count, bool shared) {
    std::vector<Layout> out;
    for (std::int64_t i = 0; i < count; ++i) {
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "Kest " + std::to_string(i);
        if (shared) kest.hotkey = Hotkey{sharedKeys[i % 3], CarbonModifier::command};
        kest.items.push_back(test::ItemBuilder("com.example.Notes", "Notes")
                                 .on("37D8832A-2D66-4B0F-9F3F-1234567890AB", Rect(0, 25, 900, 700)));
        out.push_back(std::move(kest));
    }
    return out;
}

// A simulated desktop whose store holds the kests of the benchmark's arguments, their
// shortcuts registered with the default snap bindings.
struct Desktop {
    SimDesktop sim;
    std::vector<SnapBinding> snaps = SnapDefaults::magnetBindings();

    explicit Desktop(const benchmark::State& state) {
        application();
        installPlatform(&sim);
        for (const std::uint32_t key : sharedKeys) {
            // With 4, the first held by another program and the other two lacking.
            const bool first = key == sharedKeys[0];
            if (state.range(1) == 2 || (state.range(1) == 4 && first))
                sim.simHotKeys().holdByOtherProgram(key, CarbonModifier::command);
            if (state.range(1) == 3 || (state.range(1) == 4 && !first)) sim.simHotKeys().missingKeys.insert(key);
        }
        LayoutStore::shared().layouts = kests(state.range(0), state.range(1) != 0);
        sync();
    }
    ~Desktop() { installPlatform(nullptr); }

    std::vector<HotkeyManager::Conflict> sync() {
        auto conflicts = HotkeyManager::shared().sync(LayoutStore::shared().layouts, snaps);
        sim.simLog().clear();
        return conflicts;
    }
};

void BM_RegisterHotkeys(benchmark::State& state) {
    Desktop desktop(state);
    const auto& layouts = LayoutStore::shared().layouts;
    for (auto _ : state) {
        auto conflicts = HotkeyManager::shared().sync(layouts, desktop.snaps);
        benchmark::DoNotOptimize(heldByKestr(conflicts, layouts));
        benchmark::DoNotOptimize(keysMissing(conflicts));
        state.PauseTiming();
        desktop.sim.simLog().clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

void BM_StatusMenuBuild(benchmark::State& state) {
    Desktop desktop(state);
    for (auto _ : state) benchmark::DoNotOptimize(StatusMenu::build(true, {}));
    state.SetComplexityN(state.range(0));
}

void BM_TrayOpeningUnchanged(benchmark::State& state) {
    Desktop desktop(state);
    auto tray = std::make_unique<TrayStatusItem>(TrayPresence::Kind::statusNotifier);
    DBusMenuExporter* exported = tray->exportedMenu();
    MenuBarController controller(std::move(tray));
    for (auto _ : state) benchmark::DoNotOptimize(exported->aboutToShow());
    state.SetComplexityN(state.range(0));
}

void BM_SnapsPageOwners(benchmark::State& state) {
    Desktop desktop(state);
    SnapShortcutsModel model;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SnapShortcutsModel::keysHeldElsewhere());
        model.recomputeConflicts();
    }
    state.SetComplexityN(state.range(0));
}

const std::vector<std::vector<std::int64_t>> sizes{{1000, 10000}, {0, 1, 2, 3, 4}};

BENCHMARK(BM_RegisterHotkeys)->ArgsProduct(sizes)->ArgNames({"kests", "shared"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatusMenuBuild)->ArgsProduct(sizes)->ArgNames({"kests", "shared"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapsPageOwners)->ArgsProduct(sizes)->ArgNames({"kests", "shared"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrayOpeningUnchanged)->ArgsProduct(sizes)->ArgNames({"kests", "shared"})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestr
