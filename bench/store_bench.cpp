// Cost of reading and writing "layouts.json" with 1,000 kests of 10 items each, every
// optional field in use. Beside the store's load and save stand nlohmann's parse and
// dump of the same bytes, so the ratio shows what strict decoding and the writer add.
#include <benchmark/benchmark.h>

#include "Core/LayoutStore.h"
#include "Core/ModelJson.h"
#include "Platform/Sim/SimDesktop.h"
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

BENCHMARK(BM_NlohmannParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrictDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NlohmannDump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrictEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestr
