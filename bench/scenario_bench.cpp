// Cost of reading a simulated desktop from scenario text: one application with N
// windows, and N applications with one window each. Both should grow linearly.
#include <benchmark/benchmark.h>

#include "Platform/Sim/SimDesktop.h"

namespace kestr {
namespace {

std::string window(std::int64_t number) {
    return R"({"number":)" + std::to_string(number) + R"(,"position":[0,0],"size":[9,9]})";
}

std::string scenarioText(const std::string& applications, const std::string& processes) {
    return R"({"version":1,"displays":[{"id":1,"bounds":[0,0,1920,1200]}],"applications":[)" + applications +
           R"(],"processes":[)" + processes + "]}";
}

std::string oneProcess(std::int64_t windows) {
    std::string list;
    for (std::int64_t i = 0; i < windows; ++i) list += (i ? "," : "") + window(100 + i);
    return scenarioText("", R"({"pid":600,"name":"Big","windows":[)" + list + "]}");
}

std::string manyProcesses(std::int64_t count) {
    std::string applications, processes;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string id = "\"com.example.a" + std::to_string(i) + "\"";
        applications += std::string(i ? "," : "") + R"({"name":"A","bundleID":)" + id + "}";
        processes += std::string(i ? "," : "") + R"({"pid":)" + std::to_string(600 + i) + R"(,"bundleID":)" + id +
                     R"(,"windows":[)" + window(100 + i) + "]}";
    }
    return scenarioText(applications, processes);
}

void read(benchmark::State& state, const std::string& text) {
    for (auto _ : state) benchmark::DoNotOptimize(SimDesktop::fromScenario(nlohmann::json::parse(text)));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ScenarioOneProcessManyWindows(benchmark::State& state) { read(state, oneProcess(state.range(0))); }
void BM_ScenarioManyProcesses(benchmark::State& state) { read(state, manyProcesses(state.range(0))); }

BENCHMARK(BM_ScenarioOneProcessManyWindows)
    ->Arg(1000)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ScenarioManyProcesses)
    ->Arg(1000)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace kestr
