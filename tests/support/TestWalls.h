// Walls shared by several analysis suites and the analysis benchmark.
#pragma once

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/TWClasses.h"

namespace tw::test {

#ifdef TW_SOURCE_DIR
// The JSON source of an example project (for the targets that know the source folder).
inline std::string ExampleProjectJson(bool si)
{
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/resources/examples/" +
                         (si ? "SI UNITS EXAMPLE" : "ENGLISH UNITS EXAMPLE") + ".json",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

// A complete drilled soldier beam wall (English units) under Net Pressure and the Coulomb
// method: H 10 ft, vertical wall, level ground, phi 30 on both sides, unit weights 120 pcf.
inline TTWData NetCoulombWall()
{
    TTWData p;
    p.ShoredHeight = 10;
    p.PileSpacing = 8;
    p.PileWidth = 2;
    p.BackfillPhi = 30;
    p.BackfillUnitWeight = 120;
    p.PassivePhi = 30;
    p.PassiveUnitWeight = 120;
    p.PassiveSafetyFactor = 1.5L;
    p.WedgeMultiplier = 2;
    p.ElasticModulus = 29000;
    p.YieldStrength = 50;
    p.ConcreteStrength = 3;
    p.AllowableTopDeflection = 1;
    p.VerticalBarSize = 8;
    p.BarCount = 8;
    p.TieBarSize = 4;
    p.SelectSection(FindByName(p.SteelShapes(), "W18X86"));
    return p;
}

// The hand-checked soldier beam wall (also the English example project): H 15 ft, backfill
// phi 32, 120 pcf, 72 psf surcharge, passive phi 32, 120 pcf, F.S. 1.5, drilled 2.5 ft piers at
// 8 ft, W18X86, timber lagging, Net Pressure, Ultimate Passive.
inline TTWData HandCheckedWall()
{
    TTWData p = NetCoulombWall();
    p.ShoredHeight = 15;
    p.PileWidth = 2.5L;
    p.BackfillPhi = 32;
    p.Surcharge = 72;
    p.PassivePhi = 32;
    p.LaggingType = TLaggingType::ltTimber;
    p.ArchingFactor = 0.6L;
    return p;
}

// The same soil on every side: vertical wall, level ground, no wall friction.
inline void SetSoil(TTWData& p, long double phi, long double gamma)
{
    p.BackfillPhi = p.Backfill2Phi = p.PassivePhi = phi;
    p.BackfillDelta = p.Backfill2Delta = p.PassiveDelta = 0;
    p.BackfillSlope = p.Backfill2Slope = p.PassiveSlope = 0;
    p.BackfillWallAngle = p.Backfill2WallAngle = p.PassiveWallAngle = 90;
    p.BackfillUnitWeight = p.Backfill2UnitWeight = p.PassiveUnitWeight = gamma;
}

// PDH G112, Example 3: soldier piles at 8.25 ft, W14x90 in 1.21 ft holes with a passive width
// of 2 bf, H 12.5 ft, active 33.33 pcf, passive 300 pcf, 72 psf lateral surcharge; Net Pressure.
inline TTWData PdhSoldierPile()
{
    TTWData p = NetCoulombWall();
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    p.ShoredHeight = 12.5L;
    p.PileSpacing = 8.25L;
    p.PileWidth = 1.21L;
    p.WedgeMultiplier = 2;
    p.BackfillUnitWeight = p.PassiveUnitWeight = 100;
    p.ActiveEFP = 33.33L;
    p.PassiveEFP = 300;
    p.MaxPassivePressure = 10000;
    p.PassiveSafetyFactor = 1;
    p.Surcharge = 72 / (33.33L / 100);
    p.SelectSection(FindByName(p.SteelShapes(), "W14X90"));
    return p;
}

// Caltrans Trenching and Shoring Manual, Example 7-1B: W14x120 at 8 ft in 2 ft holes, H 15 ft,
// 125 pcf, phi 35, Rankine, 72 psf surcharge above the base, f = 0.08 phi = 2.8; Gross Pressure.
inline TTWData CaltransSoldierPile()
{
    TTWData p = NetCoulombWall();
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.ShoredHeight = 15;
    p.PileSpacing = 8;
    p.PileWidth = 2;
    p.WedgeMultiplier = 2.8L;
    SetSoil(p, 35, 125);
    const long double ka =
        (1 - std::sin(35 * 0.017453292519943295L)) / (1 + std::sin(35 * 0.017453292519943295L));
    p.Surcharge = 72 / ka;
    p.Backfill2Surcharge = 0;
    p.SelectSection(FindByName(p.SteelShapes(), "W14X120"));
    return p;
}

} // namespace tw::test
