// The headless job of tarnwick-cli in-process: load the English example project, analyse it
// and write the results JSON; and the steps on their own.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"

using namespace tw;

namespace {

std::string ExampleJson()
{
    const std::string path =
        std::string(TW_SOURCE_DIR) + "/resources/examples/ENGLISH UNITS EXAMPLE.json";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The example as the .btw bytes the build installs beside the program.
std::string ExampleBtw()
{
    TTWData p;
    ProjectFromJson(ExampleJson(), p);
    std::ostringstream out;
    p.SaveToStream(out);
    return out.str();
}

void BM_LoadBtwAnalyzeWriteResults(benchmark::State& state)
{
    const std::string bytes = ExampleBtw();
    TTWData p;
    for (auto _ : state) {
        std::istringstream in(bytes);
        p.LoadFromStream(in);
        p.Analyze();
        std::string json = ResultsToJson(p);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_LoadBtwAnalyzeWriteResults)->Unit(benchmark::kMicrosecond);

void BM_LoadJsonAnalyzeWriteResults(benchmark::State& state)
{
    const std::string text = ExampleJson();
    TTWData p;
    for (auto _ : state) {
        ProjectFromJson(text, p);
        p.Analyze();
        std::string json = ResultsToJson(p);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_LoadJsonAnalyzeWriteResults)->Unit(benchmark::kMicrosecond);

void BM_LoadBtw(benchmark::State& state)
{
    const std::string bytes = ExampleBtw();
    TTWData p;
    for (auto _ : state) {
        std::istringstream in(bytes);
        p.LoadFromStream(in);
        benchmark::DoNotOptimize(p.ShoredHeight);
    }
}
BENCHMARK(BM_LoadBtw)->Unit(benchmark::kMicrosecond);

void BM_ResultsToJson(benchmark::State& state)
{
    TTWData p;
    ProjectFromJson(ExampleJson(), p);
    p.Analyze();
    for (auto _ : state) {
        std::string json = ResultsToJson(p);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_ResultsToJson)->Unit(benchmark::kMicrosecond);

void BM_ProjectToJson(benchmark::State& state)
{
    TTWData p;
    ProjectFromJson(ExampleJson(), p);
    for (auto _ : state) {
        std::string json = ProjectToJson(p);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_ProjectToJson)->Unit(benchmark::kMicrosecond);

} // namespace
