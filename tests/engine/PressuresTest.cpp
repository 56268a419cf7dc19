// Earth pressure coefficients, equivalent fluid values, strip and seismic moments, the two
// pressure diagrams and the pressure-at-depth rule.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <span>

#include "engine/Pressures.h"
#include "engine/TWClasses.h"
#include "support/TestWalls.h"

using namespace tw;
using tw::test::NetCoulombWall;

namespace {

// The NetCoulombWall of TestWalls.h under the equivalent fluid method: Ka = 30/120, Kp = 360/120.
TTWData NetFluidWall()
{
    TTWData p = NetCoulombWall();
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    p.ActiveEFP = 30;
    p.PassiveEFP = 360;
    p.MaxPassivePressure = 3000;
    p.PassiveSafetyFactor = 1;
    return p;
}

} // namespace

TEST(PressuresCoulomb, RankineValuesForVerticalWallAndLevelGround)
{
    TTWData p = NetCoulombWall();
    p.PassiveSafetyFactor = 1;
    p.Analyze();
    EXPECT_NEAR(p.Ka, 1.0L / 3, 1e-12);
    EXPECT_NEAR(p.Kp, 3.0L, 1e-12);
    EXPECT_NEAR(p.ActiveEFP, 40.0L, 1e-9);
    EXPECT_NEAR(p.PassiveEFP, 360.0L, 1e-9);
    EXPECT_NEAR(p.MaxPassivePressure, 3600.0L, 1e-8); // PassiveEFP x 10 in English units
}

TEST(PressuresCoulomb, WallFrictionOnBothSides)
{
    TTWData p = NetCoulombWall();
    p.BackfillDelta = 20;
    p.PassiveDelta = -15;
    p.Analyze();
    EXPECT_NEAR(p.Ka, 0.29731L, 5e-6);
    EXPECT_NEAR(p.Kp, 4.97650L, 5e-6);
    // The passive safety factor divides the passive fluid pressure only.
    EXPECT_NEAR(p.PassiveEFP, p.Kp * 120 / 1.5L, 1e-9);
    EXPECT_NEAR(p.ActiveEFP, p.Ka * 120, 1e-9);
}

TEST(PressuresCoulomb, PublishedActiveCoefficient)
{
    // Coulomb's active coefficient for phi 20 deg, delta 10 deg, vertical wall, level ground is
    // tabulated as 0.4467: [sin 70 / (sqrt(sin 100) + sqrt(sin 30 sin 20))]^2
    // = [0.939693 / (0.992375 + 0.413534)]^2 = 0.446743.
    TTWData p = NetCoulombWall();
    p.BackfillPhi = 20;
    p.BackfillDelta = 10;
    p.Analyze();
    EXPECT_NEAR(p.Ka, 0.4467L, 5e-5);
    EXPECT_NEAR(p.Ka, 0.446743L, 5e-7);
}

TEST(PressuresCoulomb, BatteredWallAndSlopingGround)
{
    // Active side: alpha 80, slope 10, phi 32, delta 12 (the wall angle enters as
    // sin(alpha - phi), so a vertical wall cannot tell it from sin(alpha + phi)):
    //   sin 48 / (sin 80 (sqrt(sin 92) + sqrt(sin 44 sin 22 / sin 70)))
    //   = 0.743145 / (0.984808 (0.999695 + sqrt(0.694658 x 0.374607 / 0.939693)))
    //   = 0.743145 / (0.984808 (0.999695 + 0.526236)) = 0.494524; Ka = 0.244554.
    // Passive side: alpha 95, slope -5, phi 30, delta -10:
    //   sin 125 / (sin 95 (sqrt(sin 85) - sqrt(sin 40 sin 25 / sin 100)))
    //   = 0.819152 / (0.996195 (0.998096 - sqrt(0.642788 x 0.422618 / 0.984808)))
    //   = 0.819152 / (0.996195 (0.998096 - 0.525209)) = 1.738855; Kp = 3.023616.
    TTWData p = NetCoulombWall();
    p.BackfillWallAngle = 80;
    p.BackfillSlope = 10;
    p.BackfillPhi = 32;
    p.BackfillDelta = 12;
    p.PassiveWallAngle = 95;
    p.PassiveSlope = -5;
    p.PassiveDelta = -10;
    p.Analyze();
    EXPECT_NEAR(p.Ka, 0.244554L, 1e-6);
    EXPECT_NEAR(p.Kp, 3.023616L, 1e-6);

    // Gross Pressure: Ka2 from the angles of backfill soil 2 (alpha 85, slope 5, phi 28,
    // delta 8): sin 57 / (sin 85 (sqrt(sin 93) + sqrt(sin 36 sin 23 / sin 80)))
    // = 0.838671 / (0.996195 (0.999315 + 0.482917)) = 0.567977; Ka2 = 0.322598.
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.Backfill2WallAngle = 85;
    p.Backfill2Slope = 5;
    p.Backfill2Phi = 28;
    p.Backfill2Delta = 8;
    p.Backfill2UnitWeight = 125;
    p.Analyze();
    EXPECT_NEAR(p.Ka, 0.244554L, 1e-6); // soil 1 unchanged
    EXPECT_NEAR(p.Ka2, 0.322598L, 1e-6);
    EXPECT_NEAR(p.Active2EFP, 0.322598L * 125, 1e-4);
}

TEST(PressuresCoulomb, CoulombActiveOfOneSoilIsTheCoefficientOfTheAnalysis)
{
    // The battered wall above under Gross Pressure: the formula for one soil gives the Ka and
    // Ka2 of the analysis to the last bit.
    TTWData p = NetCoulombWall();
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.BackfillWallAngle = 80;
    p.BackfillSlope = 10;
    p.BackfillPhi = 32;
    p.BackfillDelta = 12;
    p.Backfill2WallAngle = 85;
    p.Backfill2Slope = 5;
    p.Backfill2Phi = 28;
    p.Backfill2Delta = 8;
    p.Backfill2UnitWeight = 125;
    p.Analyze();
    const long double ka = CoulombActive(80, 10, 32, 12, 1);
    const long double ka2 = CoulombActive(85, 5, 28, 8, 2);
    EXPECT_NEAR(ka, 0.244554L, 1e-6);
    EXPECT_NEAR(ka2, 0.322598L, 1e-6);
    EXPECT_EQ(ka, p.Ka);
    EXPECT_EQ(ka2, p.Ka2);

    // A backfill slope steeper than the friction angle has no active wedge; the message
    // names the coefficient of the soil.
    try {
        CoulombActive(90, 30, 20, 0, 2);
        ADD_FAILURE() << "expected an analysis error";
    } catch (const TAnalysisError& e) {
        EXPECT_NE(e.Detail().find("Ka2 of backfill soil 2"), std::string::npos) << e.Detail();
        EXPECT_NE(e.Detail().find("steeper than the friction angle"), std::string::npos)
            << e.Detail();
    }
}

TEST(PressuresCoulomb, MaxPassivePressureFactorsByMethodAndUnits)
{
    TTWData p = NetCoulombWall();
    p.Analyze();
    EXPECT_NEAR(p.MaxPassivePressure, p.PassiveEFP * 10, 1e-9);

    // Gross Pressure: the passive side is backfill soil 2 with a safety factor of 1, the cap
    // is 24 x PassiveEFP and Ka2 comes from backfill soil 2.
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.Backfill2Phi = 34;
    p.Backfill2UnitWeight = 125;
    p.Analyze();
    const long double s = std::sin(34 * 0.017453292519943295L);
    EXPECT_NEAR(p.Kp, (1 + s) / (1 - s), 1e-12);
    EXPECT_NEAR(p.PassiveEFP, p.Kp * 125, 1e-9);
    EXPECT_NEAR(p.MaxPassivePressure, p.PassiveEFP * 24, 1e-8);
    EXPECT_NEAR(p.Ka2, (1 - s) / (1 + s), 1e-12);
    EXPECT_NEAR(p.Active2EFP, p.Ka2 * 125, 1e-9);

    TTWData si = NetCoulombWall();
    si.SetUnitSystem(TUnitSystem::usSI);
    si.ShoredHeight = 3;
    si.PileSpacing = 2.4L;
    si.PileWidth = 0.6L;
    si.BackfillUnitWeight = 19;
    si.PassiveUnitWeight = 19;
    si.ElasticModulus = 200000;
    si.YieldStrength = 345;
    si.ConcreteStrength = 21;
    si.SelectSection(10);
    si.Analyze();
    EXPECT_NEAR(si.MaxPassivePressure, si.PassiveEFP * 3.5L, 1e-9);
    si.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    si.Backfill2Phi = 30;
    si.Backfill2UnitWeight = 19;
    si.Analyze();
    EXPECT_NEAR(si.MaxPassivePressure, si.PassiveEFP * 7.5L, 1e-9);
}

TEST(PressuresFluid, CoefficientsFromTypedFluidPressures)
{
    TTWData p = NetFluidWall();
    p.Analyze();
    EXPECT_NEAR(p.Ka, 0.25L, 1e-15);
    EXPECT_NEAR(p.Kp, 3.0L, 1e-15);
    // The typed values stand.
    EXPECT_EQ(p.ActiveEFP, 30);
    EXPECT_EQ(p.PassiveEFP, 360);
    EXPECT_EQ(p.MaxPassivePressure, 3000);
    // Backfill soil 2 is not read under Net Pressure: an empty one gives Ka2 = 0.
    EXPECT_EQ(p.Ka2, 0);
}

TEST(PressuresFluid, ZeroUnitWeightEndsTheAnalysisAtTheCoefficients)
{
    TTWData p = NetFluidWall();
    p.BackfillUnitWeight = 0;
    p.Ka = 7;
    try {
        p.Analyze();
        FAIL() << "a zero unit weight must end the analysis";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "Earth pressure coefficients");
        EXPECT_NE(e.Detail().find("division by zero"), std::string::npos);
        EXPECT_NE(e.Detail().find("Unit Weight"), std::string::npos);
    }
    EXPECT_EQ(p.Ka, 7);                                 // not written
    EXPECT_NEAR(p.PlanEdgeOffset, 2 - 8.0L / 2, 1e-15); // the step before it ran

    // Under Gross Pressure backfill soil 2 is read, so its zero unit weight fails.
    TTWData g = NetFluidWall();
    g.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    g.Active2EFP = 35;
    EXPECT_THROW(g.Analyze(), TAnalysisError);
}

TEST(PressuresDiagram, NetPressureLoadingAndPassiveSides)
{
    TTWData p = NetCoulombWall();
    p.Surcharge = 100;
    p.Cohesion = 200;
    p.IgnorePassiveHeight = 1.5L;
    p.Analyze();
    const long double H = 10, De = p.EquilibriumDepth;
    const std::array<long double, 4> xs{0, 0.333L * H, 0.667L * H, H};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(p.LoadPoints[i].X, xs[i], 1e-15);
        EXPECT_NEAR(p.LoadPoints[i].W, (40 * xs[i] + 100.0L / 3) / 1000, 1e-12);
    }
    EXPECT_EQ(p.LoadPoints[4].X, H);
    EXPECT_NEAR(p.LoadPoints[5].X, H + 0.333L * De, 1e-12);
    EXPECT_NEAR(p.LoadPoints[6].X, H + 0.667L * De, 1e-12);
    EXPECT_NEAR(p.LoadPoints[7].X, H + De, 1e-15);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(p.LoadPoints[i].W, 0);

    // Passive: starts at H + IP with -2c sqrt(Kp/FS)/1000 - EFP WM IP/1000, then grows by
    // EFP WM per unit depth: PassiveEFP = 3 x 120 / 1.5 = 240, cap 2400 psf.
    const long double x1 = H + 1.5L, x4 = H + De;
    EXPECT_NEAR(p.PassivePoints[0].X, x1, 1e-15);
    EXPECT_NEAR(p.PassivePoints[3].X, x4, 1e-15);
    EXPECT_NEAR(p.PassivePoints[1].X, x1 + 0.333L * (x4 - x1), 1e-12);
    EXPECT_NEAR(p.PassivePoints[2].X, x1 + 0.667L * (x4 - x1), 1e-12);
    const long double w1 = -(2 * 200 * std::sqrt(2.0L) + 240 * 2 * 1.5L) / 1000;
    EXPECT_NEAR(p.PassivePoints[0].W, w1, 1e-12);
    EXPECT_NEAR(p.MaxPassivePressure, 2400, 1e-9);
    const long double cap = -p.MaxPassivePressure / 1000;
    for (int i = 1; i < 4; ++i) {
        const long double w = w1 - 240 * 2 * (p.PassivePoints[i].X - x1) / 1000;
        EXPECT_NEAR(p.PassivePoints[i].W, w <= cap ? cap : w, 1e-12);
    }
    EXPECT_EQ(p.PassivePoints[3].W, cap); // the deepest point reaches the cap
}

TEST(PressuresDiagram, PassiveCapBindsEveryPoint)
{
    TTWData p = NetFluidWall();
    p.PassiveEFP = 5000;
    p.PassiveUnitWeight = 120;
    p.MaxPassivePressure = 150;
    p.IgnorePassiveHeight = 1;
    p.Analyze();
    for (const TPressurePoint& q : p.PassivePoints)
        EXPECT_EQ(q.W, -150.0L / 1000);

    TTWData si = NetFluidWall();
    si.SetUnitSystem(TUnitSystem::usSI);
    si.ShoredHeight = 3;
    si.PileWidth = 0.6L;
    si.PileSpacing = 2.4L;
    si.BackfillUnitWeight = 19;
    si.PassiveUnitWeight = 19;
    si.ActiveEFP = 5;
    si.PassiveEFP = 800;
    si.MaxPassivePressure = 7;
    si.IgnorePassiveHeight = 0.3L;
    si.ElasticModulus = 200000;
    si.ConcreteStrength = 21;
    si.SelectSection(10);
    si.Analyze();
    for (const TPressurePoint& q : si.PassivePoints)
        EXPECT_NEAR(q.W, -7.0L, 1e-15); // kPa in SI
}

TEST(PressuresDiagram, GrossPressureContinuesBackfillSoil2FromThePileTop)
{
    TTWData p = NetFluidWall();
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.Active2EFP = 35;
    p.Backfill2UnitWeight = 125;
    p.Backfill2Surcharge = 0;
    p.Analyze();
    EXPECT_NEAR(p.LoadPoints[4].W, 35 * 10.0L / 1000, 1e-15); // not 0
    EXPECT_NEAR(p.LoadPoints[7].W, 35 * (10 + p.EquilibriumDepth) / 1000, 1e-12);
    p.Backfill2Surcharge = 250;
    p.Analyze();
    EXPECT_NEAR(p.LoadPoints[4].W, (35 * 10.0L + 35.0L / 125 * 250) / 1000, 1e-12);
}

TEST(PressuresDiagram, SiDiagramsAreInKilopascals)
{
    TTWData p = NetFluidWall();
    p.SetUnitSystem(TUnitSystem::usSI);
    p.ShoredHeight = 4;
    p.PileWidth = 0.75L;
    p.PileSpacing = 2.4L;
    p.BackfillUnitWeight = 19;
    p.PassiveUnitWeight = 19;
    p.ActiveEFP = 6;
    p.PassiveEFP = 50;
    p.MaxPassivePressure = 500;
    p.Surcharge = 10;
    p.ElasticModulus = 200000;
    p.ConcreteStrength = 21;
    p.SelectSection(10);
    p.Analyze();
    EXPECT_NEAR(p.LoadPoints[0].W, 6.0L / 19 * 10, 1e-12);
    EXPECT_NEAR(p.LoadPoints[3].W, 6 * 4 + 6.0L / 19 * 10, 1e-12);
    EXPECT_NEAR(p.PassivePoints[3].W, -50 * 2 * p.EquilibriumDepth, 1e-9);
}

TEST(PressuresDiagram, UserDefinedKeepsTypedPointsAndFixesTheEnds)
{
    TTWData p = NetFluidWall();
    p.AnalysisMethod = TAnalysisMethod::amUserDefined;
    p.IgnorePassiveHeight = 2;
    const std::array<TPressurePoint, 8> typed{{{99, 0.1L},
                                               {3, 0.2L},
                                               {6, 0.3L},
                                               {99, 0.4L},
                                               {99, 0.05L},
                                               {14, 0.06L},
                                               {18, 0.07L},
                                               {99, 0.08L}}};
    p.LoadPoints = typed;
    p.PassivePoints = {{{99, -0.5L}, {15, -1}, {20, -1.5L}, {99, -2}}};
    p.Analyze();
    const long double De = 1.1L * 10 + 2;
    EXPECT_EQ(p.LoadPoints[0].X, 0);
    EXPECT_EQ(p.LoadPoints[3].X, 10);
    EXPECT_EQ(p.LoadPoints[4].X, 10);
    EXPECT_NEAR(p.LoadPoints[7].X, 10 + De, 1e-15);
    for (int i : {1, 2, 5, 6})
        EXPECT_EQ(p.LoadPoints[i].X, typed[i].X);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.LoadPoints[i].W, typed[i].W);
    EXPECT_EQ(p.PassivePoints[0].X, 12);
    EXPECT_EQ(p.PassivePoints[1].X, 15);
    EXPECT_EQ(p.PassivePoints[2].X, 20);
    EXPECT_NEAR(p.PassivePoints[3].X, 10 + De, 1e-15);
    EXPECT_EQ(p.PassivePoints[0].W, -0.5L);
    EXPECT_EQ(p.PassivePoints[3].W, -2);
}

TEST(PressuresStrip, MomentOfAStripLoad)
{
    // q 500 psf, a 2 ft, b 4 ft, d 0, Ka 1/3, no wall friction, soldier beam:
    // pressure = 1/3 x 500 x 4 / (3 x 2) x 1.35 = 150 psf from depth 2 to 10 ft;
    // M = 8 x 150 x (4 + 2) / 1000 = 7.2 k-ft, StripMoment = 0.8 M = 5.76 k-ft.
    TTWData p = NetCoulombWall();
    p.StripLoadOn = true;
    p.StripPressure = 500;
    p.StripSetback = 2;
    p.StripWidth = 4;
    p.OtherMoment = 3;
    p.Analyze();
    EXPECT_NEAR(p.StripTop, 2, 1e-15);
    EXPECT_NEAR(p.StripLateralPressure, 150, 1e-9);
    EXPECT_NEAR(p.StripMoment, 5.76L, 1e-12);
    EXPECT_NEAR(p.TopMoment, 8.76L, 1e-12);

    // A tangent pile takes 1.7 instead of 1.35; the strip depth moves the top down.
    p.PileType = TPileType::ptTangentPile;
    p.StripDepth = 1;
    p.Analyze();
    EXPECT_NEAR(p.StripTop, 3, 1e-15);
    EXPECT_NEAR(p.StripLateralPressure, 150 / 1.35L * 1.7L, 1e-9);
    EXPECT_NEAR(p.StripMoment, 0.8L * 7 * p.StripLateralPressure * 6.5L / 1000, 1e-12);

    // A secant pile takes 1.7 as well, a sheet pile 1.35 like a soldier beam.
    p.PileType = TPileType::ptSecantPile;
    p.Analyze();
    EXPECT_NEAR(p.StripLateralPressure, 150 / 1.35L * 1.7L, 1e-9);
    p.SetPileType(TPileType::ptSheetPile);
    p.ApplySelectionRules();
    p.PileSpacing = 1;
    p.SelectSection(FindByName(p.SteelShapes(), "PZ 27"));
    p.Analyze();
    EXPECT_NEAR(p.StripLateralPressure, 150, 1e-9);
}

TEST(PressuresStrip, FailuresAndSwitches)
{
    TTWData p = NetCoulombWall();
    p.StripLoadOn = true;
    p.StripPressure = 500;
    p.StripWidth = 4;
    p.OtherMoment = 3;

    // Setback 0 divides by zero: no strip moment, and the analysis completes.
    p.StripSetback = 0;
    ASSERT_NO_THROW(p.Analyze());
    EXPECT_EQ(p.StripMoment, 0);
    EXPECT_EQ(p.StripLateralPressure, 0);
    EXPECT_EQ(p.TopMoment, 3);

    // A strip whose pressure starts below the excavation base gives no moment.
    p.StripSetback = 8;
    p.StripDepth = 3;
    p.Analyze();
    EXPECT_GT(p.StripLateralPressure, 0);
    EXPECT_EQ(p.StripMoment, 0);

    // Switched off, the moment is still computed but the top moment leaves it out.
    p.StripDepth = 0;
    p.StripSetback = 2;
    p.StripLoadOn = false;
    p.SeismicLoadOn = true;
    p.SeismicThrust = 1500; // lb/ft
    p.SeismicArm = 4;       // ft
    p.Analyze();
    EXPECT_NEAR(p.StripMoment, 5.76L, 1e-12);
    EXPECT_NEAR(p.SeismicMoment, 6, 1e-15);
    EXPECT_NEAR(p.TopMoment, 3 + 6, 1e-15);
    p.SeismicLoadOn = false;
    p.Analyze();
    EXPECT_NEAR(p.SeismicMoment, 6, 1e-15);
    EXPECT_EQ(p.TopMoment, 3);
}

TEST(PressuresStrip, SiMomentsNeedNoThousand)
{
    // q 24 kPa, a 0.6 m, b 1.2 m, d 0, Ka 1/3, soldier beam, H 3 m:
    // pressure = 1/3 x 24 x 1.2 / (3 x 0.6) x 1.35 = 7.2 kPa from 0.6 m to 3 m;
    // M = 2.4 x 7.2 x (1.2 + 0.6) = 31.104 kN-m/m, StripMoment = 0.8 M = 24.8832.
    // Seismic: 20 kN/m at 1.2 m gives 24 kN-m/m (u = 1 in SI units).
    TTWData p = NetCoulombWall();
    p.SetUnitSystem(TUnitSystem::usSI);
    p.ShoredHeight = 3;
    p.PileSpacing = 2.4L;
    p.PileWidth = 0.6L;
    p.BackfillUnitWeight = 19;
    p.PassiveUnitWeight = 19;
    p.ElasticModulus = 200000;
    p.YieldStrength = 345;
    p.ConcreteStrength = 21;
    p.SelectSection(10);
    p.StripLoadOn = true;
    p.StripPressure = 24;
    p.StripSetback = 0.6L;
    p.StripWidth = 1.2L;
    p.SeismicLoadOn = true;
    p.SeismicThrust = 20;
    p.SeismicArm = 1.2L;
    p.OtherMoment = 5;
    p.Analyze();
    EXPECT_NEAR(p.StripLateralPressure, 7.2L, 1e-12);
    EXPECT_NEAR(p.StripMoment, 24.8832L, 1e-12);
    EXPECT_NEAR(p.SeismicMoment, 24, 1e-12);
    EXPECT_NEAR(p.TopMoment, 5 + 24.8832L + 24, 1e-12);
}

TEST(PressuresAtDepth, SegmentChoiceAndExtension)
{
    const std::array<TPressurePoint, 4> d{{{0, 1}, {2, 3}, {4, 3}, {8, -1}}};
    const std::span<const TPressurePoint, 4> s(d);
    EXPECT_NEAR(TTWData::PressureAt(s, 1), 2, 1e-15);
    EXPECT_NEAR(TTWData::PressureAt(s, 2), 3, 1e-15); // x = X2 is on the first segment
    EXPECT_NEAR(TTWData::PressureAt(s, 3), 3, 1e-15);
    EXPECT_NEAR(TTWData::PressureAt(s, 6), 1, 1e-15);
    // No clamping: the end segments extend.
    EXPECT_NEAR(TTWData::PressureAt(s, -2), -1, 1e-15);
    EXPECT_NEAR(TTWData::PressureAt(s, 12), -5, 1e-15);

    // x = X2 with X1 = X2 picks a zero-length segment: an error, not infinity.
    const std::array<TPressurePoint, 4> flat{{{5, 1}, {5, 2}, {6, 3}, {7, 4}}};
    EXPECT_THROW(TTWData::PressureAt(std::span<const TPressurePoint, 4>(flat), 5), TAnalysisError);
    EXPECT_NEAR(TTWData::PressureAt(std::span<const TPressurePoint, 4>(flat), 6.5L), 3.5L, 1e-15);

    // A jump (X2 = X3): at x = X3 the rule takes P1-P2 (x > X3 and x > X2 both fail), so the
    // value is W2; just below the jump the last segment holds.
    const std::array<TPressurePoint, 4> jump{{{0, 0}, {2, 1}, {2, 5}, {4, 5}}};
    const std::span<const TPressurePoint, 4> j(jump);
    EXPECT_NEAR(TTWData::PressureAt(j, 2), 1, 1e-15);
    EXPECT_NEAR(TTWData::PressureAt(j, 2.001L), 5, 1e-15);
    EXPECT_NEAR(TTWData::PressureAt(j, 1), 0.5L, 1e-15);
}
