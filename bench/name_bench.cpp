// Cost of a kest name's canonical form, and of a title match, when the text is "a"
// followed by N combining marks of alternating classes, the worst order for sorting
// them. Both should grow linearly.
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

void BM_TitleContainsWithAlternatingMarks(benchmark::State& state) {
    std::string title = "Report a";
    for (std::int64_t i = 0; i < state.range(0) / 2; ++i) title += "\u0301\u0316";
    title += " draft";
    for (auto _ : state) {
        benchmark::DoNotOptimize(UnicodeText::contains(title, "a\u0316 draft"));
        benchmark::DoNotOptimize(UnicodeText::contains(title, "\u00e1\u0316"));
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_TitleContainsWithAlternatingMarks)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(160000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_CanonicalFormOfAlternatingMarks)
    ->Arg(100000)
    ->Arg(400000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace kestr
