// The equilibrium depth, the design margin, the embedment and the pile length.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/Power.h"
#include "engine/TWClasses.h"
#include "support/TestWalls.h"

using namespace tw;

namespace {

// Net Pressure, equivalent fluid method, Kp / Ka = 9 (Ka = 30/120, Kp = 270/120), H = 10 ft,
// no ignore height, loads or surcharge; B 2 ft, wedge multiplier 2.
TTWData RatioNineWall()
{
    TTWData p = tw::test::NetCoulombWall();
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    p.ActiveEFP = 30;
    p.PassiveEFP = 270;
    p.MaxPassivePressure = 2700;
    p.PassiveSafetyFactor = 1;
    return p;
}

std::string FailureOf(TTWData& p, std::string* step)
{
    try {
        p.Analyze();
    } catch (const TAnalysisError& e) {
        *step = e.Step();
        return e.Detail();
    }
    return "";
}

} // namespace

TEST(EmbedmentDepth, RatioNineUltimateAndAllowablePassive)
{
    // De = 10 / (9^0.333 - 1) = 10 / 1.078561 = 9.2716 ft (the exponent is 0.333, not 1/3,
    // which would give 9.2585); Ultimate Passive adds 0.4 H = 4 ft, Allowable 0.05 H = 0.5 ft.
    TTWData p = RatioNineWall();
    p.Analyze();
    EXPECT_NEAR(p.EquilibriumDepth, 9.2716L, 1e-4);
    EXPECT_NEAR(p.EquilibriumDepth, 10 / (std::pow(9.0L, 0.333L) - 1), 1e-12);
    EXPECT_NEAR(p.EmbedmentIncrease, 4, 1e-15);
    EXPECT_NEAR(p.EmbedmentDepth, 13.2716L, 1e-4);
    EXPECT_NEAR(p.TotalPileLength, 23.2716L, 1e-4);
    EXPECT_EQ(p.UnbracedLength, 10);

    p.AllowablePassive = true;
    p.Analyze();
    EXPECT_NEAR(p.EmbedmentIncrease, 0.5L, 1e-15);
    EXPECT_NEAR(p.EmbedmentDepth, 9.7716L, 1e-4);
    EXPECT_NEAR(p.TotalPileLength, 19.7716L, 1e-4);
}

TEST(EmbedmentDepth, SameWallInSiUnits)
{
    // 10 ft = 3.048 m: De = 3.048 / 1.078561 = 2.8260 m; B and the fluid pressures in SI.
    TTWData p = RatioNineWall();
    p.SetUnitSystem(TUnitSystem::usSI);
    p.ShoredHeight = 3.048L;
    p.PileWidth = 0.6096L;
    p.PileSpacing = 2.4384L;
    p.BackfillUnitWeight = 18.85L;
    p.PassiveUnitWeight = 18.85L;
    p.ActiveEFP = 4.7125L;
    p.PassiveEFP = 42.4125L;
    p.MaxPassivePressure = 129;
    p.ElasticModulus = 200000;
    p.ConcreteStrength = 21;
    p.SelectSection(10);
    p.Analyze();
    EXPECT_NEAR(p.EquilibriumDepth, 9.2716L * 0.3048L, 1e-4);
    EXPECT_NEAR(p.EmbedmentDepth, 13.2716L * 0.3048L, 1e-4);
}

TEST(EmbedmentDepth, GrossPressureIgnoresAllowablePassive)
{
    TTWData p = RatioNineWall();
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    p.Backfill2UnitWeight = 120;
    p.Active2EFP = 30;
    p.AllowablePassive = true;
    p.Analyze();
    EXPECT_NEAR(p.EmbedmentIncrease, 4, 1e-15);
    EXPECT_NEAR(p.EmbedmentDepth, p.EquilibriumDepth + 4, 1e-15);
}

TEST(EmbedmentDepth, UserDefinedWhateverThePressures)
{
    TTWData p = RatioNineWall();
    p.AnalysisMethod = TAnalysisMethod::amUserDefined;
    p.IgnorePassiveHeight = 2;
    p.AllowablePassive = true;
    p.PassiveEFP = 0; // not read by the user-defined depth
    p.LoadPoints = {
        {{0, 0.1L}, {3, 0.2L}, {6, 0.3L}, {10, 0.4L}, {10, 0}, {14, 0}, {18, 0}, {23, 0}}};
    p.PassivePoints = {{{12, -0.5L}, {15, -1}, {20, -1.5L}, {23, -2}}};
    p.Analyze();
    EXPECT_NEAR(p.EquilibriumDepth, 13, 1e-15);
    EXPECT_NEAR(p.EmbedmentDepth, 17, 1e-15);
    EXPECT_NEAR(p.TotalPileLength, 27, 1e-15);
}

TEST(EmbedmentDepth, LoadTermsUseTheUnitFactor)
{
    // English: R = 0.001 x 2 x 2 x 270 = 1.08 k/ft per ft of depth.
    // De = 9.27161 + IP 1 + 5 / 1.08 + (20 / 10) / 1.08 + 0.001 x 100 x 0.25 x 10 / 1.08
    //    = 9.27161 + 1 + 4.62963 + 1.85185 + 0.23148 = 16.98458 ft.
    TTWData p = RatioNineWall();
    p.IgnorePassiveHeight = 1;
    p.LateralLoadTop = 5;
    p.OtherMoment = 20;
    p.Surcharge = 100;
    p.Analyze();
    const long double first = 10 / (std::pow(9.0L, 0.333L) - 1);
    EXPECT_NEAR(p.EquilibriumDepth, first + 1 + 5 / 1.08L + 2 / 1.08L + 0.25L / 1.08L, 1e-12);
    EXPECT_NEAR(p.EquilibriumDepth, 16.98458L, 1e-5);
    // A drilled pile's effective width is the entered one: the depth is the formula on
    // PileWidth evaluated in the same order, to the last bit.
    const long double r = 0.001L * p.PileWidth * p.WedgeMultiplier * p.PassiveEFP;
    EXPECT_EQ(p.EquilibriumDepth, 10 / (Power(p.Kp / p.Ka, 0.333L) - 1) + 1 + 5 / r +
                                      (p.TopMoment / 10) / r + 0.001L * 100 * p.Ka * 10 / r);

    // SI: u = 1, so R = 0.6 x 2 x 42 = 50.4 kN/m per m and the terms read kN, kN-m and kPa.
    TTWData si = RatioNineWall();
    si.SetUnitSystem(TUnitSystem::usSI);
    si.ShoredHeight = 3;
    si.PileWidth = 0.6L;
    si.PileSpacing = 2.4L;
    si.BackfillUnitWeight = 20;
    si.PassiveUnitWeight = 20;
    si.ActiveEFP = 5;
    si.PassiveEFP = 45;
    si.MaxPassivePressure = 200;
    si.LateralLoadTop = 10;
    si.OtherMoment = 30;
    si.Surcharge = 12;
    si.ElasticModulus = 200000;
    si.ConcreteStrength = 21;
    si.SelectSection(10);
    si.Analyze();
    const long double R = 0.6L * 2 * 45;
    EXPECT_NEAR(si.EquilibriumDepth,
                3 / (std::pow(9.0L, 0.333L) - 1) + 10 / R + (30.0L / 3) / R + 12 * 0.25L * 3 / R,
                1e-12);
}

TEST(EmbedmentDepth, PassiveResistanceUsesTheEffectivePileWidth)
{
    // R = u x B x WedgeMultiplier x PassiveEFP takes the width the pile analysis loads: 1 ft
    // for a sheet pile and the flange width for a driven beam, whatever diameter is stored
    // from the time the wall was drilled (the window no longer shows it).
    const long double first = 10 / (std::pow(9.0L, 0.333L) - 1);
    auto sheetDe = [](long double storedWidth) {
        TTWData sheet = RatioNineWall();
        sheet.SetPileType(TPileType::ptSheetPile);
        sheet.ApplySelectionRules();
        sheet.PileSpacing = 1;
        sheet.PileWidth = storedWidth;
        sheet.SelectSection(FindByName(sheet.SteelShapes(), "PZ 27"));
        sheet.LateralLoadTop = 5;
        sheet.Surcharge = 100;
        sheet.Analyze();
        return sheet.EquilibriumDepth;
    };
    EXPECT_EQ(sheetDe(1.0L), sheetDe(0.75L));
    EXPECT_NEAR(sheetDe(2), first + (5 + 0.1L * 0.25L * 10) / (0.001L * 1 * 2 * 270), 1e-12);

    auto drivenDe = [](long double storedWidth) {
        TTWData driven = RatioNineWall();
        driven.InstallMethod = TInstallMethod::imDriven;
        driven.PileWidth = storedWidth;
        driven.LateralLoadTop = 5;
        driven.Analyze();
        return driven.EquilibriumDepth;
    };
    const long double flange = 11.1L / 12; // W18X86
    EXPECT_EQ(drivenDe(2), drivenDe(3.5L));
    EXPECT_NEAR(drivenDe(2), first + 5 / (0.001L * flange * 2 * 270), 1e-12);
}

TEST(EmbedmentFailure, ZeroPassiveResistanceNamesTheStepAndInput)
{
    TTWData p = RatioNineWall();
    p.WedgeMultiplier = 0;
    p.EquilibriumDepth = -1; // what a failed step must leave alone
    p.OtherMoment = 4;
    std::string step;
    const std::string detail = FailureOf(p, &step);
    EXPECT_EQ(step, "Embedment depth");
    EXPECT_NE(detail.find("division by zero"), std::string::npos) << detail;
    EXPECT_NE(detail.find("WedgeMultiplier = 0"), std::string::npos) << detail;
    // Computed before the failure: coefficients, top moment, unbraced length.
    EXPECT_EQ(p.Ka, 0.25L);
    EXPECT_EQ(p.Kp, 2.25L);
    EXPECT_EQ(p.TopMoment, 4);
    EXPECT_EQ(p.UnbracedLength, 10);
    EXPECT_EQ(p.EquilibriumDepth, -1);

    TTWData w = RatioNineWall();
    w.PileWidth = 0;
    EXPECT_NE(FailureOf(w, &step).find("effective pile width B = 0"), std::string::npos);
}

TEST(EmbedmentFailure, ZeroHeight)
{
    std::string step;
    TTWData h = RatioNineWall();
    h.ShoredHeight = 0;
    EXPECT_NE(FailureOf(h, &step).find("shored height H is 0"), std::string::npos);
    EXPECT_EQ(step, "Embedment depth");
}

TEST(EmbedmentFailure, NoDepthWherePassiveDoesNotExceedActive)
{
    // Kp / Ka at or below 1 gives no equilibrium (a division by zero at 1, a negative depth
    // below it, no power of a negative base): the analysis ends at the embedment, naming the
    // coefficients, and writes no depth.
    const struct
    {
        long double passiveEFP;
        const char* ratio;
    } cases[] = {
        {30, "Kp / Ka = 1 "}, {15, "Kp / Ka = 0.5 "}, {0, "Kp / Ka = 0 "}, {-30, "Kp / Ka = -1 "}};
    for (const auto& c : cases) {
        TTWData p = RatioNineWall();
        p.PassiveEFP = c.passiveEFP;
        p.EquilibriumDepth = 7;
        std::string step;
        const std::string detail = FailureOf(p, &step);
        EXPECT_EQ(step, "Embedment depth") << c.ratio;
        EXPECT_NE(detail.find("passive resistance does not exceed the active pressure"),
                  std::string::npos)
            << detail;
        EXPECT_NE(detail.find(c.ratio), std::string::npos) << detail;
        EXPECT_EQ(p.EquilibriumDepth, 7) << c.ratio;
    }

    // Coulomb, friction angles of 5 degrees, slopes at their bounds: Kp 0.9924 < Ka 0.9945.
    TTWData coulomb = tw::test::NetCoulombWall();
    coulomb.BackfillPhi = 5;
    coulomb.BackfillDelta = 3.75L;
    coulomb.BackfillSlope = 5;
    coulomb.PassivePhi = 5;
    coulomb.PassiveSlope = -5;
    std::string step;
    EXPECT_NE(FailureOf(coulomb, &step).find("does not exceed the active pressure"),
              std::string::npos);
}

TEST(EmbedmentFailure, NonPositiveDepthFromTheTopLoads)
{
    // Kp / Ka = 9 but a top load pulling back: De = 9.27 - 20 / 1.08 < 0.
    TTWData p = RatioNineWall();
    p.LateralLoadTop = -20;
    p.EquilibriumDepth = 7;
    std::string step;
    const std::string detail = FailureOf(p, &step);
    EXPECT_EQ(step, "Embedment depth");
    EXPECT_NE(detail.find("is not positive"), std::string::npos) << detail;
    EXPECT_EQ(p.EquilibriumDepth, 7);
}

TEST(EmbedmentFailure, PileOverAThousandTimesTheHeightIsRefused)
{
    // The pile length grows linearly with the top load; loads giving 9990 ft and 10010 ft on
    // this 10 ft wall fall either side of the limit.
    TTWData base = RatioNineWall();
    base.Analyze();
    TTWData unit = RatioNineWall();
    unit.LateralLoadTop = base.LateralLoadTop + 1;
    unit.Analyze();
    const long double perKip = unit.TotalPileLength - base.TotalPileLength;
    ASSERT_GT(perKip, 0);
    auto withLength = [&](long double length) {
        TTWData p = RatioNineWall();
        p.LateralLoadTop = base.LateralLoadTop + (length - base.TotalPileLength) / perKip;
        return p;
    };
    TTWData under = withLength(9990);
    EXPECT_NO_THROW(under.Analyze());
    EXPECT_NEAR(under.TotalPileLength, 9990, 1e-6);
    TTWData over = withLength(10010);
    std::string step;
    const std::string detail = FailureOf(over, &step);
    EXPECT_EQ(step, "Embedment depth");
    EXPECT_NE(detail.find("H + D = 10010 ft is more than 1000 times the shored height H = 10 ft"),
              std::string::npos)
        << detail;
}
