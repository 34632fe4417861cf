// Cost of a kest name's canonical form when the name is "a" followed by N combining
// marks of alternating classes, the worst order for sorting them. Should grow linearly.
#include <benchmark/benchmark.h>

#include "Core/UnicodeText.h"

namespace kestr {
namespace {

void BM_CanonicalFormOfAlternatingMarks(benchmark::State& state) {
    std::string name = "a";
    for (std::int64_t i = 0; i < state.range(0) / 2; ++i) name += "\u0301\u0316";
    for (auto _ : state) benchmark::DoNotOptimize(UnicodeText::canonicalForm(name));
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_CanonicalFormOfAlternatingMarks)
    ->Arg(100000)->Arg(400000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace kestr
