// Cost of reading a simulated desktop from scenario text: one application with N
// windows, and N applications with one window each. Both should grow linearly. And the
// whole round the command-line program makes: load the scenario file, keep it again.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

// One application with N windows and N / 3 applications with one each, as a file.
void BM_ScenarioFileLoadedAndKept(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    std::string applications, processes;
    for (std::int64_t i = 0; i < n; ++i) processes += (i ? "," : "") + window(100 + i);
    processes = R"({"pid":600,"name":"Big","windows":[)" + processes + "]}";
    for (std::int64_t i = 0; i < n / 3; ++i) {
        const std::string id = "\"com.example.a" + std::to_string(i) + "\"";
        applications += std::string(i ? "," : "") + R"({"name":"A","bundleID":)" + id + "}";
        processes += R"(,{"pid":)" + std::to_string(601 + i) + R"(,"bundleID":)" + id + R"(,"windows":[)" +
                     window(100 + n + i) + "]}";
    }
    std::string folder = (std::filesystem::temp_directory_path() / "kestr-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const std::string path = folder + "/sim-desktop.json";
    std::ofstream(path) << scenarioText(applications, processes);
    for (auto _ : state) SimDesktop::loadScenario(path)->saveScenario(path);
    state.SetComplexityN(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_ScenarioFileLoadedAndKept)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ScenarioOneProcessManyWindows)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ScenarioManyProcesses)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace kestr
