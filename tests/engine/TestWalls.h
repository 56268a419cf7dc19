// A wall shared by several analysis suites.
#pragma once

#include "TWClasses.h"

namespace tw::test {

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

} // namespace tw::test
