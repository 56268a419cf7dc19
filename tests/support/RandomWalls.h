// Generated walls that vary every selection (units, methods, pile types, reinforcements,
// lagging, guardrail, loads), from the example projects; a few are built to be refused by the
// analysis at different steps. Shared by the golden dump and the tests that compare the
// program's outputs over many walls.
#pragma once

#include <random>
#include <string>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"

namespace tw::test {

// The next generated wall of the sequence `rng` draws; `english` and `si` are the example
// projects' JSON.
inline TTWData RandomWall(std::mt19937& rng, const std::string& english, const std::string& si)
{
    auto real = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    TTWData p;
    const bool isSI = pick(0, 1) == 1;
    ProjectFromJson(isSI ? si : english, p);
    const long double len = isSI ? 0.3048L : 1;   // ft to m
    const long double gam = isSI ? 0.157087L : 1; // pcf to kN/m3
    const long double prs = isSI ? 0.04788L : 1;  // psf to kPa
    p.AnalysisMethod = static_cast<TAnalysisMethod>(pick(0, 2));
    p.SoilMethod = static_cast<TSoilMethod>(pick(0, 1));
    p.SetPileType(static_cast<TPileType>(pick(0, 3)));
    p.InstallMethod = static_cast<TInstallMethod>(pick(0, 1));
    p.Reinforcement = static_cast<TReinforcement>(pick(0, 2));
    p.ApplySelectionRules();
    p.ShoredHeight = real(6, 28) * len;
    p.PileWidth = real(1.5, 4) * len;
    p.PileSpacing = p.PileType == TPileType::ptSheetPile     ? 1
                    : p.PileType == TPileType::ptTangentPile ? 2 * p.PileWidth
                    : p.PileType == TPileType::ptSecantPile  ? 1.5L * p.PileWidth
                                                             : real(5, 10) * len;
    p.BackfillPhi = real(26, 38);
    p.BackfillDelta = real(0, 0.7) * p.BackfillPhi;
    p.BackfillSlope = pick(0, 3) == 0 ? real(0, 20) : 0;
    p.PassivePhi = real(28, 40);
    p.PassiveDelta = -real(0, 0.4) * p.PassivePhi;
    p.Backfill2Phi = real(26, 38);
    p.Backfill2UnitWeight = real(110, 130) * gam;
    p.Active2EFP = real(30, 45) * gam;
    p.ActiveEFP = real(30, 45) * gam;
    p.PassiveEFP = real(250, 400) * gam;
    p.MaxPassivePressure = real(2000, 4000) * prs;
    p.Surcharge = real(0, 300) * prs;
    p.Cohesion = pick(0, 3) == 0 ? real(0, 200) * prs : 0;
    p.IgnorePassiveHeight = pick(0, 2) == 0 ? real(0, 2) * len : 0;
    p.StripLoadOn = pick(0, 2) == 0;
    p.StripPressure = real(500, 2000) * prs;
    p.StripSetback = real(0, 6) * len;
    p.StripWidth = real(2, 8) * len;
    p.StripDepth = real(0, 3) * len;
    p.SeismicLoadOn = pick(0, 2) == 0;
    p.SeismicThrust = real(100, 800) * (isSI ? 0.0146L : 1);
    p.SeismicArm = real(1, 8) * len;
    p.LateralLoadTop = pick(0, 2) == 0 ? real(0, 5) * (isSI ? 4.448L : 1) : 0;
    p.LaggingType = static_cast<TLaggingType>(pick(0, 3));
    p.LaggingConcrete = pick(0, 1);
    p.GuardrailOn = pick(0, 1) == 1;
    p.GuardrailShape = pick(0, 16);
    p.TieType = static_cast<TTieType>(pick(0, 1));
    p.ShoredHeightFill = static_cast<TShoredHeightFill>(pick(0, 1));
    p.PipeFilled = pick(0, 1) == 1;
    p.BarCount = pick(6, 16);
    if (p.AnalysisMethod == TAnalysisMethod::amUserDefined) {
        const long double h = p.ShoredHeight;
        const long double scale = isSI ? 47.88L : 1;
        p.LoadPoints[1].X = 0.3L * h;
        p.LoadPoints[2].X = 0.7L * h;
        p.LoadPoints[5].X = 1.3L * h;
        p.LoadPoints[6].X = 1.7L * h;
        for (int i = 0; i < 8; ++i)
            p.LoadPoints[i].W = (i < 4 ? real(0.05, 0.6) : real(0, 0.3)) * scale;
        p.PassivePoints[1].X = 1.4L * h;
        p.PassivePoints[2].X = 1.8L * h;
        for (int i = 0; i < 4; ++i)
            p.PassivePoints[i].W = -real(0.2, 3) * scale;
    }
    p.LoadCatalogues();
    const int rows = static_cast<int>(
        p.Reinforcement == TReinforcement::rfIBeam ? p.SteelShapes().size() : p.OShapes().size());
    if (rows > 0)
        p.SelectSection(pick(0, rows - 1));
    // A few walls that the analysis must refuse, at different steps.
    if (pick(0, 30) == 0)
        p.PileSpacing = 0.5L * p.PileWidth;
    if (pick(0, 30) == 0)
        p.PassiveSafetyFactor = 0;
    if (pick(0, 30) == 0)
        p.ElasticModulus = 0;
    return p;
}

} // namespace tw::test
