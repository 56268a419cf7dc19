// Walls shared by several analysis suites and the analysis benchmark.
#pragma once

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

} // namespace tw::test
