// Costs of the operations every recalculation repeats: the catalogue reload of a unit or
// library switch, reading the selected section, and the number texts of the boxes.
#include <benchmark/benchmark.h>

#include "engine/Globals.h"
#include "engine/TWClasses.h"

using namespace tw;

static void BM_UnitSwitchReloadsCatalogues(benchmark::State& state)
{
    TTWData p;
    p.SetSteelLibrary(TSteelLibrary::slBritish); // the 829-row round catalogue
    bool si = false;
    for (auto _ : state) {
        si = !si;
        p.SetUnitSystem(si ? TUnitSystem::usSI : TUnitSystem::usEnglish);
        benchmark::DoNotOptimize(p.OShapes().data());
    }
}
BENCHMARK(BM_UnitSwitchReloadsCatalogues);

static void BM_GetRoundSection(benchmark::State& state)
{
    TTWData p;
    p.Reinforcement = TReinforcement::rfPipe;
    p.SelectSection(40);
    for (auto _ : state)
        benchmark::DoNotOptimize(p.GetSection());
}
BENCHMARK(BM_GetRoundSection);

static void BM_ShowNumber(benchmark::State& state)
{
    const TNumberFormat fmt;
    long double v = 1234.5678L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ShowNumber(EnglishInputLimits(), 6, false, v, fmt));
        v += 0.001L;
    }
}
BENCHMARK(BM_ShowNumber);

static void BM_ReadNumber(benchmark::State& state)
{
    const TNumberFormat fmt;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadNumber(EnglishInputLimits(), 17, "1,234.50", 0, 0, fmt));
}
BENCHMARK(BM_ReadNumber);
