// Cost of one committed input change in the main window without widgets: the recalculation
// (every box read through its limits and bounds, the analysis) and the display pass (every box,
// list and mark written again, with its own analysis).
#include <fstream>
#include <sstream>

#include <benchmark/benchmark.h>

#include "engine/ProjectJson.h"
#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/Reliability.h"
#include "form/Study.h"

using namespace tw;

namespace {

void OpenExample(TTWData& project, const char* name)
{
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/resources/examples/" + name + ".json",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ProjectFromJson(text.str(), project);
}

void CommitShoredHeight(benchmark::State& state, const char* example)
{
    TTWData project;
    OpenExample(project, example);
    form::TMainForm form(project);
    if (!form.AfterOpen().ok())
        state.SkipWithError("the example does not analyse");
    bool flip = false;
    for (auto _ : state) {
        form.EditBox(form::Box::ShoredHeight, flip ? "15" : "14");
        flip = !flip;
        const form::TCommitResult r = form.Commit();
        benchmark::DoNotOptimize(r);
    }
}

void BM_CommitEnglishExample(benchmark::State& state)
{
    CommitShoredHeight(state, "ENGLISH UNITS EXAMPLE");
}
void BM_CommitSIExample(benchmark::State& state)
{
    CommitShoredHeight(state, "SI UNITS EXAMPLE");
}

void BM_UnitSwitch(benchmark::State& state)
{
    TTWData project;
    OpenExample(project, "ENGLISH UNITS EXAMPLE");
    form::TMainForm form(project);
    (void)form.AfterOpen();
    int units = 1;
    for (auto _ : state) {
        const form::TCommitResult r = form.ChooseListItem(form::List::Units, units);
        units = 1 - units;
        benchmark::DoNotOptimize(r);
    }
}

} // namespace

// "Find Lightest Section": every row of the catalogue analysed as the window does (target
// 0.5 s): the 111 North American I-beams of the English example, and the largest round
// catalogue (the SI example as a pipe wall).
void BM_LightestIBeams(benchmark::State& state)
{
    TTWData project;
    OpenExample(project, "ENGLISH UNITS EXAMPLE");
    for (auto _ : state)
        benchmark::DoNotOptimize(form::FindLightestSections(project).rows.size());
    state.counters["rows"] = static_cast<double>(project.SteelShapes().size());
}

void BM_LightestRoundSections(benchmark::State& state)
{
    TTWData project;
    OpenExample(project, "SI UNITS EXAMPLE");
    project.Reinforcement = TReinforcement::rfPipe;
    project.LoadCatalogues();
    for (auto _ : state)
        benchmark::DoNotOptimize(form::FindLightestSections(project).rows.size());
    state.counters["rows"] = static_cast<double>(project.OShapes().size());
}

// A parametric study of 200 steps on the English example (target 50 ms).
void BM_Study200Steps(benchmark::State& state)
{
    TTWData project;
    OpenExample(project, "ENGLISH UNITS EXAMPLE");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            form::RunStudy(project, form::Box::ShoredHeight, 10, 30, 200).size());
}

// A reliability study of the English example with its default uncertain inputs: on one
// thread, the rate in walls per second per core; on every core, 10^5 samples (target 1 s on
// two cores, sampling and statistics).
void ReliabilityStudy(benchmark::State& state, int threads, int64_t samples)
{
    TTWData project;
    OpenExample(project, "ENGLISH UNITS EXAMPLE");
    form::TReliabilitySetup setup = form::DefaultReliabilitySetup(project);
    setup.samples = samples;
    setup.threads = threads;
    for (auto _ : state)
        benchmark::DoNotOptimize(form::RunReliabilityStudy(project, setup).anyCheck.pf);
    state.SetItemsProcessed(state.iterations() * samples);
}
void BM_ReliabilityPerCore(benchmark::State& state)
{
    ReliabilityStudy(state, 1, 5000);
}
void BM_Reliability100kAllCores(benchmark::State& state)
{
    ReliabilityStudy(state, 0, 100000);
}

BENCHMARK(BM_ReliabilityPerCore)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reliability100kAllCores)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Study200Steps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightestIBeams)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightestRoundSections)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitEnglishExample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommitSIExample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnitSwitch)->Unit(benchmark::kMicrosecond);
