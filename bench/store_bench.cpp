// Cost of reading and writing "layouts.json" with 1,000 kests of 10 items each, every
// optional field in use. Beside the store's load and save stand nlohmann's parse and
// dump of the same bytes, so the ratio shows what strict decoding and the writer add.
// Then the start-up with that file, in a fresh process each time: its time against
// nlohmann's parse of the file in the same run, and the memory it keeps against the
// file's size; and a save after the start-up's tidying, which must grow linearly with
// the kests.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/LegacyMigration.h"
#include "Core/ModelJson.h"
#include "Layout/KestNormaliser.h"
#include "Platform/Sim/SimDesktop.h"
#include "Snap/SnapStore.h"
#include "Support/SampleKests.h"

namespace kestr {
namespace {

// One simulated desktop (a temporary home folder) with the file in place.
struct Fixture {
    SimDesktop desktop;
    std::string path;
    std::string bytes;
    std::vector<Layout> layouts;

    Fixture() {
        installPlatform(&desktop);
        layouts = test::sampleDocument(1000, 10).layouts;
        path = LayoutStore::defaultFileURL();
        LayoutStore store;
        store.layouts = layouts;
        store.save();
        bytes = desktop.files().read(path);
    }
    ~Fixture() { installPlatform(nullptr); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_NlohmannParse(benchmark::State& state) {
    const auto& bytes = fixture().bytes;
    for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Parse plus strict decoding into kests, from memory.
void BM_StrictDecode(benchmark::State& state) {
    const auto& bytes = fixture().bytes;
    for (auto _ : state) {
        const auto json = parseJson(bytes);
        benchmark::DoNotOptimize(fromJson<LayoutDocument>(JsonValue(json)));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// The store's load: read the file, decode strictly.
void BM_StoreLoad(benchmark::State& state) {
    auto& f = fixture();
    LayoutStore store(f.path);
    for (auto _ : state) {
        store.load();
        benchmark::DoNotOptimize(store.layouts.data());
    }
    if (store.layouts != f.layouts) state.SkipWithError("load gave other kests");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}

void BM_NlohmannDump(benchmark::State& state) {
    const auto json = nlohmann::json::parse(fixture().bytes);
    for (auto _ : state) benchmark::DoNotOptimize(json.dump(2));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture().bytes.size()));
}

// Writing the kests with the store's encoder, in memory.
void BM_StrictEncode(benchmark::State& state) {
    const auto& f = fixture();
    for (auto _ : state) {
        JsonWriter w = LayoutStore::encoder().writer();
        writeLayoutDocument(w, 1, f.layouts);
        benchmark::DoNotOptimize(w.take());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}

// The store's save: backup copy, encode, atomic write (with its flush to disk).
void BM_StoreSave(benchmark::State& state) {
    auto& f = fixture();
    LayoutStore store(f.path);
    store.layouts = f.layouts;
    for (auto _ : state) store.save();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}

double cpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// What the start-up does with the kests before the menu-bar item is ready: the stores
// loaded, the kests tidied for the displays, their hot keys registered.
void startUp() {
    LegacyMigration::run();
    LayoutStore::shared().load();
    SnapStore::shared().load();
    KestNormaliser::normalise(LayoutStore::shared());
    HotkeyManager::shared().sync(LayoutStore::shared().layouts, SnapStore::shared().bindings);
}

struct StartUpCost {
    double cpu = 0;       // seconds
    double resident = 0;  // bytes the start-up added
};

// The start-up in a fresh child process on a fresh desktop whose kest file holds
// `bytes` (none: no file).
StartUpCost startUpInChild(const std::string* bytes) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        StartUpCost cost;
        {
            SimDesktop desktop;
            installPlatform(&desktop);
            if (bytes) {
                desktop.files().createDirectories(JsonFileStore::defaultFolder());
                desktop.files().writeAtomically(LayoutStore::defaultFileURL(), *bytes);
            }
            // As a fresh process starts: large blocks come from the system and go back to it
            // when freed (the benchmarks before this one raised the threshold).
            ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
            ::malloc_trim(0);
            const double resident = residentBytes(), cpu = cpuSeconds();
            startUp();
            cost = {cpuSeconds() - cpu, residentBytes() - resident};
            installPlatform(nullptr);
        }
        const bool written = ::write(out[1], &cost, sizeof cost) == static_cast<ssize_t>(sizeof cost);
        ::_exit(written ? 0 : 1);
    }
    ::close(out[1]);
    StartUpCost cost;
    const bool read = pid > 0 && ::read(out[0], &cost, sizeof cost) == static_cast<ssize_t>(sizeof cost);
    ::close(out[0]);
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    return read ? cost : StartUpCost{-1, -1};
}

void BM_StartUpWithThousandKests(benchmark::State& state) {
    const std::string& bytes = fixture().bytes;
    const StartUpCost empty = startUpInChild(nullptr);
    double cpu = 0, parse = 0, resident = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        benchmark::DoNotOptimize(nlohmann::json::parse(bytes));
        parse += cpuSeconds() - before;
        const StartUpCost full = startUpInChild(&bytes);
        if (full.cpu < 0 || empty.cpu < 0) state.SkipWithError("the start-up process failed");
        cpu += full.cpu;
        resident += full.resident - empty.resident;
    }
    const double runs = static_cast<double>(state.iterations());
    const double file = static_cast<double>(bytes.size());
    state.counters["startup_cpu_s"] = cpu / runs;
    state.counters["parse_cpu_s"] = parse / runs;
    state.counters["startup_over_parse"] = cpu / parse;
    state.counters["file_MB"] = file / 1e6;
    state.counters["resident_MB"] = resident / runs / 1e6;
    state.counters["resident_over_file"] = resident / runs / file;
}

// A save after the start-up's tidying, with `range(0)` kests of 10 items each.
void BM_SaveAfterStartUp(benchmark::State& state) {
    SimDesktop desktop;
    installPlatform(&desktop);
    {
        LayoutStore store;
        store.layouts = test::sampleDocument(static_cast<std::uint32_t>(state.range(0)), 10).layouts;
        store.save();
    }
    startUp();
    LayoutStore& store = LayoutStore::shared();
    for (auto _ : state) store.save();
    state.SetComplexityN(state.range(0));
    installPlatform(nullptr);
}

BENCHMARK(BM_NlohmannParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrictDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NlohmannDump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrictEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpWithThousandKests)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveAfterStartUp)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace kestr
