#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "engine/TWClasses.h"

using namespace tw;

namespace {

constexpr long double kMPaPerKsi = 6.894757L;
constexpr long double kNPerKip = 4448.2216152605L;
constexpr long double kKNmPerKft = 1.3558179483314L;

// A 20 in circular pier, f'c 5 ksi, fy 60 ksi, Es 29000 ksi, 8 #10 bars, #3 spiral, 1.5 in
// clear cover (the published spiral column), English units.
TTWData EnglishPier()
{
    TTWData p;
    p.SetUnitSystem(TUnitSystem::usEnglish);
    p.Reinforcement = TReinforcement::rfRebarCage;
    p.PileWidth = 20.0L / 12.0L;
    p.ConcreteStrength = 5;
    p.YieldStrength = 60;
    p.ElasticModulus = 29000;
    p.VerticalBarSize = 10;
    p.BarCount = 8;
    p.TieType = TTieType::ttSpiral;
    p.TieBarSize = 3;
    p.ClearCover = 1.5L;
    p.TieSpacingOverride = 0;
    return p;
}

// The same pier in SI units: the US bars #10 and #3 are listed as 32M and 10M.
TTWData SIPier()
{
    TTWData p;
    p.SetUnitSystem(TUnitSystem::usSI);
    p.Reinforcement = TReinforcement::rfRebarCage;
    p.PileWidth = 0.508L;
    p.ConcreteStrength = 5 * kMPaPerKsi;
    p.YieldStrength = 60 * kMPaPerKsi;
    p.ElasticModulus = 29000 * kMPaPerKsi;
    p.VerticalBarSize = 32;
    p.BarCount = 8;
    p.TieType = TTieType::ttSpiral;
    p.TieBarSize = 10;
    p.ClearCover = 38.1L;
    p.TieSpacingOverride = 0;
    return p;
}

// A 36 in tied pier with #8 bars and #4 ties.
TTWData TiedPier36()
{
    TTWData p = EnglishPier();
    p.PileWidth = 3;
    p.VerticalBarSize = 8;
    p.TieBarSize = 4;
    p.BarCount = 12;
    p.TieType = TTieType::ttTie;
    return p;
}

} // namespace

// ---------------------------------------------------------------------------------------------

TEST(RebarCageBeta1, LimitsAndTheSlopeBetween)
{
    EXPECT_EQ(RebarBeta1(21), 0.85L);
    EXPECT_EQ(RebarBeta1(28), 0.85L);
    EXPECT_NEAR(RebarBeta1(42), 0.75L, 1e-15L);
    EXPECT_NEAR(RebarBeta1(35), 0.80L, 1e-15L);
    EXPECT_NEAR(RebarBeta1(55), 0.6571428571428571L, 1e-15L);
    EXPECT_NEAR(RebarBeta1(56), 0.65L, 1e-15L);
    EXPECT_EQ(RebarBeta1(80), 0.65L);
}

TEST(RebarCageBeta1, EnglishStrengthIsConvertedToMPa)
{
    TTWData p = EnglishPier();
    p.ConcreteStrength = 4; // 27.58 MPa, below 28
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.Beta1, 0.85L);

    // 6 ksi = 41.368542 MPa: 0.85 - 0.05 * 13.368542 / 7 = 0.7545104
    p.ConcreteStrength = 6;
    DesignRebarCage(p);
    EXPECT_NEAR(p.RebarCageResults.Beta1, 0.7545104L, 1e-7L);

    TTWData si = SIPier();
    si.ConcreteStrength = 42;
    DesignRebarCage(si);
    EXPECT_NEAR(si.RebarCageResults.Beta1, 0.75L, 1e-15L);
    si.ConcreteStrength = 21;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.Beta1, 0.85L);
}

// ---------------------------------------------------------------------------------------------

TEST(RebarCageSpacing, TiesTakeTheSmallestOfTheThreeLimits)
{
    TTWData p = TiedPier36();
    EXPECT_EQ(CalculatedTieSpacing(p), 16.0L); // min(16 x 1.0, 48 x 0.5, 36)
    p.VerticalBarSize = 18;                    // 16 x 2.257 = 36.1 > 36
    p.TieBarSize = 8;                          // 48 in
    EXPECT_NEAR(CalculatedTieSpacing(p), 36.0L, 1e-12L);
    p.VerticalBarSize = 14; // 16 x 1.693 = 27.088
    p.TieBarSize = 3;       // 48 x 0.375 = 18
    EXPECT_NEAR(CalculatedTieSpacing(p), 18.0L, 1e-12L);
}

TEST(RebarCageSpacing, SpiralsCallForThreeInchesOr75mm)
{
    EXPECT_EQ(CalculatedTieSpacing(EnglishPier()), 3.0L);
    EXPECT_EQ(CalculatedTieSpacing(SIPier()), 75.0L);
}

TEST(RebarCageSpacing, AnUnknownBarNumberReadsTheFirstBar)
{
    TTWData p = TiedPier36();
    p.VerticalBarSize = 0; // the table's empty row is not a bar: #3, 16 x 0.375 = 6
    p.TieBarSize = 99;     // #3 as well: 48 x 0.375 = 18
    EXPECT_NEAR(CalculatedTieSpacing(p), 6.0L, 1e-12L);
}

TEST(RebarCageSpacing, OverrideFollowsTheCalculationUntilTheUserChangesIt)
{
    TTWData p = TiedPier36();
    p.TieSpacingOverride = 0;
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.CalculatedSpacing, 16.0L);
    EXPECT_EQ(p.TieSpacingOverride, 16.0L) << "0 takes the calculated spacing";

    p.VerticalBarSize = 6; // 16 x 0.75 = 12
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.CalculatedSpacing, 12.0L);
    EXPECT_EQ(p.TieSpacingOverride, 12.0L) << "equal to the old calculation: follows";

    // Equality is to one decimal: 12.04 reads as 12.0.
    p.TieSpacingOverride = 12.04L;
    p.VerticalBarSize = 8;
    DesignRebarCage(p);
    EXPECT_EQ(p.TieSpacingOverride, 16.0L);

    // A value of the user's own stays.
    p.TieSpacingOverride = 10;
    p.VerticalBarSize = 6;
    DesignRebarCage(p);
    EXPECT_EQ(p.TieSpacingOverride, 10.0L);
    EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Spacing Good");
    EXPECT_TRUE(p.RebarCageResults.SpacingOK);
}

TEST(RebarCageSpacing, TieMessageWhenTheOverrideExceedsTheCalculation)
{
    TTWData p = TiedPier36();
    DesignRebarCage(p);            // calculated 16
    p.TieSpacingOverride = 16.04L; // one decimal: 16.0, not above 16
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Spacing Good");
    p.TieSpacingOverride = 16.1L;
    DesignRebarCage(p);
    EXPECT_EQ(p.TieSpacingOverride, 16.1L);
    EXPECT_EQ(p.RebarCageResults.SpacingMessage,
              "Must be less than 16db, 48dl and Pier Diameter (36in)");
    EXPECT_FALSE(p.RebarCageResults.SpacingOK);

    TTWData si = SIPier();
    si.TieType = TTieType::ttTie;
    si.PileWidth = 0.9L;
    si.VerticalBarSize = 25; // 16 x 25.4 = 406.4 mm
    si.TieBarSize = 13;      // 48 x 12.7 = 609.6 mm
    DesignRebarCage(si);
    EXPECT_NEAR(si.RebarCageResults.CalculatedSpacing, 406.4L, 1e-9L);
    si.TieSpacingOverride = 410;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage,
              "Must be less than 16db, 48dl and Pier Diameter (900mm)");
}

TEST(RebarCageSpacing, SpiralMessageOutsideItsRange)
{
    TTWData p = EnglishPier();
    p.TieSpacingOverride = 0.5L;
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Must be between 1 and 3 in");
    EXPECT_FALSE(p.RebarCageResults.SpacingOK);
    for (long double s : {1.0L, 2.0L, 3.0L}) {
        p.TieSpacingOverride = s;
        DesignRebarCage(p);
        EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Spacing Good") << static_cast<double>(s);
    }
    p.TieSpacingOverride = 3.05L;
    DesignRebarCage(p);
    EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Must be between 1 and 3 in");

    TTWData si = SIPier();
    si.TieSpacingOverride = 20;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage, "Must be between 25 and 75 mm");
    si.TieSpacingOverride = 76;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage, "Must be between 25 and 75 mm");
    si.TieSpacingOverride = 0; // takes 75 mm
    DesignRebarCage(si);
    EXPECT_EQ(si.TieSpacingOverride, 75.0L);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage, "Spacing Good");
}

// ---------------------------------------------------------------------------------------------

// Published spiral column: 20 in, 8 #10, f'c 5 ksi, fy 60 ksi.
// Ag = pi 10^2 = 314.159 in2, Ast = 8 x 1.27 = 10.16 in2,
// Po = 0.85 x 5 x (314.159 - 10.16) + 60 x 10.16 = 1292.00 + 609.60 = 1901.60 kip,
// 0.85 phi Po = 0.85 x 0.75 x 1901.60 = 1212.3 kip; phiPn,t = -0.9 x 10.16 x 60 = -548.6 kip.
TEST(RebarCagePublished, SpiralColumnAxialCapacities)
{
    TTWData p = EnglishPier();
    DesignRebarCage(p);
    const TRebarCageResults& r = p.RebarCageResults;
    ASSERT_TRUE(r.Defined);
    EXPECT_NEAR(r.PhiPnMax, 1212.3L, 0.05L);
    EXPECT_NEAR(r.PhiPnT, -548.6L, 0.05L);
    EXPECT_NEAR(r.ReinforcementRatio, 3.234L, 0.0005L);

    // Tied: 0.80 x 0.65 = 0.52 of Po.
    p.TieType = TTieType::ttTie;
    DesignRebarCage(p);
    EXPECT_NEAR(r.PhiPnMax, 0.52L * 1901.60L, 0.05L);
    EXPECT_NEAR(r.PhiPnT, -548.6L, 0.05L);
}

TEST(RebarCagePublished, SIForcesAreInKilonewtons)
{
    TTWData si = SIPier();
    DesignRebarCage(si);
    EXPECT_NEAR(si.RebarCageResults.PhiPnMax, 1212.268L * kNPerKip / 1000, 0.5L); // 5392.5 kN
    EXPECT_NEAR(si.RebarCageResults.PhiPnT, -548.64L * kNPerKip / 1000, 0.5L);    // -2440.5 kN
}

// ---------------------------------------------------------------------------------------------

// Balanced point of the published column, by hand:
// R = 10, rs = 10 - 1.5 - 0.375 - 1.27/2 = 7.49, e = 7.49 cos 30 = 6.48653,
// d1 = 3.51347, d2 = 10, d3 = 16.48653; beta1 = 0.85 - 0.05 (34.4738 - 28) / 7 = 0.80376.
// c3 = 0.003 x 16.48653 / (60/29000 + 0.003) = 9.75733 in.
// eps1 = 0.003 (9.75733 - 3.51347) / 9.75733 = 0.0019197 -> fs1 = 55.67 ksi
// eps2 = -0.0000746 -> fs2 = -2.164 ksi; eps3 = -0.0020690 -> fs3 = -60.0 ksi
// a = 0.80376 x 9.75733 = 7.84254; theta = acos((10 - 7.84254)/10) = 1.35334 rad
// Ac = (theta - sin cos) x 400/4 - 10.16/3 = 110.881 in2
// Fc = 0.85 x 5 x 110.881 + 3.38667 x 55.673 = 471.244 + 188.545 = 659.788 kip
// yc = (4.25 x 8000 x sin^3 / 12 + 188.545 x 6.48653) / 659.788 = 5.85162 in
// Ft = 3.38667 x (-2.1637 - 60) = -210.528 kip; yt = 3.38667 x (-60)(-6.48653) / Ft = -6.26076
// phi = max(0.75, 0.57 + 67 x 0.002069) = 0.75
// phiPn = 0.75 x (659.788 - 210.528) = 336.95 kip
// phiMn = 0.75 x (210.528 x 6.26076 + 659.788 x 5.85162) / 12 = 323.68 k-ft
TEST(RebarCageDiagram, BalancedPointByHand)
{
    TTWData p = EnglishPier();
    DesignRebarCage(p);
    const TInteractionPoint& b = p.InteractionPoints[3];
    EXPECT_NEAR(b.c, 9.757334L, 1e-6L);
    EXPECT_NEAR(b.eps1, 0.00191974L, 1e-8L);
    EXPECT_NEAR(b.fs1, 55.6726L, 1e-4L);
    EXPECT_NEAR(b.eps2, -0.0000746103L, 1e-10L);
    EXPECT_NEAR(b.fs3, -60.0L, 1e-9L);
    EXPECT_NEAR(b.a, 7.842542L, 1e-6L);
    EXPECT_NEAR(b.theta, 1.353341L, 1e-6L);
    EXPECT_NEAR(b.Ac, 110.8809L, 1e-4L);
    EXPECT_NEAR(b.Fc, 659.788L, 1e-3L);
    EXPECT_NEAR(b.yc, 5.85162L, 1e-5L);
    EXPECT_NEAR(b.Ft, -210.528L, 1e-3L);
    EXPECT_NEAR(b.yt, -6.26076L, 1e-5L);
    EXPECT_EQ(b.phi, 0.75L);
    EXPECT_NEAR(b.phiPn, 336.946L, 1e-3L);
    EXPECT_NEAR(b.phiMn, 323.681L, 1e-3L);

    // The public single-point computation gives the same point.
    TInteractionPoint q;
    q.c = b.c;
    ComputeInteractionPoint(p, q);
    EXPECT_EQ(q.phiPn, b.phiPn);
    EXPECT_EQ(q.phiMn, b.phiMn);
}

TEST(RebarCageDiagram, FullCompressionAndTensionControlledPoints)
{
    TTWData p = EnglishPier();
    TInteractionPoint q;
    // a >= D: theta = pi, the whole section compressed, no tension resultant.
    q.c = 30;
    ComputeInteractionPoint(p, q);
    EXPECT_NEAR(q.theta, 3.14159265358979L, 1e-12L);
    EXPECT_EQ(q.a, 20.0L);
    EXPECT_EQ(q.Ft, 0.0L);
    EXPECT_EQ(q.yt, 0.0L);
    EXPECT_NEAR(q.Ac, 314.159265L - 10.16L, 1e-5L);
    // A shallow axis: eps3 below -0.005 gives phi 0.9.
    q.c = 2;
    ComputeInteractionPoint(p, q);
    EXPECT_LT(q.eps3, -0.005L);
    EXPECT_EQ(q.phi, 0.9L);
    EXPECT_LT(q.eps1, 0.0L) << "layer 1 at 3.51 in lies below c";
    // Ties in the transition: phi = 0.48 - 83 eps3.
    p.TieType = TTieType::ttTie;
    q.c = 6.5;
    ComputeInteractionPoint(p, q);
    ASSERT_GT(q.eps3, -0.005L);
    EXPECT_NEAR(q.phi, 0.48L - 83 * q.eps3, 1e-15L);
}

TEST(RebarCageDiagram, NinePointsInOrderAndTheirAnchors)
{
    TTWData p = EnglishPier();
    DesignRebarCage(p);
    const auto& pts = p.InteractionPoints;
    const TRebarCageResults& r = p.RebarCageResults;
    ASSERT_TRUE(r.Point0Converged);
    EXPECT_LT(r.Point0Steps, 500);
    for (int i = 0; i < kInteractionPointCount; ++i)
        EXPECT_TRUE(pts[i].Defined) << i;
    for (int i = 0; i + 1 < kInteractionPointCount; ++i) {
        EXPECT_LT(pts[i].c, pts[i + 1].c) << i;
        EXPECT_LT(pts[i].phiPn, pts[i + 1].phiPn) << i;
    }
    // Point 0: the concrete balances the steel to 0.5 % of the concrete area.
    const TInteractionPoint& p0 = pts[0];
    EXPECT_LT(std::fabs(p0.Fc + p0.Ft), 0.006L * 0.85L * 5 * p0.Ac);
    EXPECT_EQ(r.PhiMn0, p0.phiMn);
    // Points 1, 2 and 4 to 7 divide their spans evenly.
    EXPECT_NEAR(pts[1].c, p0.c + (pts[3].c - p0.c) / 3, 1e-12L);
    EXPECT_NEAR(pts[2].c, p0.c + 2 * (pts[3].c - p0.c) / 3, 1e-12L);
    EXPECT_NEAR(pts[6].c, pts[3].c + 3 * (pts[8].c - pts[3].c) / 5, 1e-12L);
    // Point 8 is where phiPn reaches phiPn,max, within the bisection's D/128.
    TInteractionPoint below, above;
    below.c = pts[8].c - 20.0L / 64;
    above.c = pts[8].c + 20.0L / 64;
    ComputeInteractionPoint(p, below);
    ComputeInteractionPoint(p, above);
    EXPECT_LT(below.phiPn, r.PhiPnMax);
    EXPECT_GT(above.phiPn, r.PhiPnMax);
}

TEST(RebarCageDiagram, MomentCapacityAlongTheDiagram)
{
    TTWData p = EnglishPier();
    DesignRebarCage(p);
    const auto& pts = p.InteractionPoints;
    const long double pt = p.RebarCageResults.PhiPnT;

    EXPECT_EQ(MomentCapacityAt(p, 0), pts[0].phiMn) << "Pu = 0: phiMn of point 0";
    EXPECT_NEAR(MomentCapacityAt(p, pt / 2), pts[0].phiMn / 2, 1e-12L);
    EXPECT_EQ(MomentCapacityAt(p, pt), 0.0L);
    const long double mid = (pts[4].phiPn + pts[5].phiPn) / 2;
    EXPECT_NEAR(MomentCapacityAt(p, mid), (pts[4].phiMn + pts[5].phiMn) / 2, 1e-9L);
    EXPECT_EQ(MomentCapacityAt(p, pts[5].phiPn), pts[5].phiMn);
    EXPECT_TRUE(std::isinf(MomentCapacityAt(p, pts[8].phiPn)));
    EXPECT_TRUE(std::isinf(MomentCapacityAt(p, pt - 1)));
}

TEST(RebarCageDiagram, FactoredLoadsUtilizationsAndVerdicts)
{
    TTWData p = EnglishPier();
    p.AxialLoad = 100;      // Pu = 120 kip
    p.MaxMomentBelow = 150; // Mu = 240 k-ft
    DesignRebarCage(p);
    const TRebarCageResults& r = p.RebarCageResults;
    EXPECT_NEAR(r.Pu, 120.0L, 1e-12L);
    EXPECT_NEAR(r.Mu, 240.0L, 1e-12L);
    EXPECT_EQ(r.PhiMnAtPu, MomentCapacityAt(p, 120));
    EXPECT_FALSE(r.AxialUtilizationNA);
    EXPECT_NEAR(r.AxialUtilization, 100 * 120 / r.PhiPnMax, 1e-12L);
    EXPECT_NEAR(r.MomentUtilization, 100 * 240 / r.PhiMnAtPu, 1e-12L);
    EXPECT_TRUE(r.AxialOK);
    EXPECT_EQ(r.MomentOK, 240 <= r.PhiMnAtPu);

    // A moment above the capacity fails.
    p.MaxMomentBelow = r.PhiMnAtPu; // Mu = 1.6 x capacity
    DesignRebarCage(p);
    EXPECT_FALSE(r.MomentOK);
    EXPECT_GT(r.MomentUtilization, 100.0L);

    // An axial load above phiPn,max is outside the diagram: phiMn infinite, the moment
    // utilization not applicable and passing, the axial verdict failing.
    p.AxialLoad = 1100; // Pu = 1320 > 1212.3
    DesignRebarCage(p);
    EXPECT_TRUE(std::isinf(r.PhiMnAtPu));
    EXPECT_TRUE(r.MomentUtilizationNA);
    EXPECT_TRUE(std::isnan(r.MomentUtilization));
    EXPECT_TRUE(r.MomentOK);
    EXPECT_FALSE(r.AxialOK);
    EXPECT_GT(r.AxialUtilization, 100.0L);

    // Pu exactly at the capacity passes.
    p.AxialLoad = r.PhiPnMax / 1.2L;
    DesignRebarCage(p);
    EXPECT_TRUE(r.AxialOK);
}

// ---------------------------------------------------------------------------------------------

TEST(RebarCageUnits, EnglishAndSIRunsAgree)
{
    TTWData en = EnglishPier();
    TTWData si = SIPier();
    en.AxialLoad = 100;
    si.AxialLoad = 100 * kNPerKip / 1000;
    en.MaxMomentBelow = 120;
    si.MaxMomentBelow = 120 * kKNmPerKft;
    for (TTieType type : {TTieType::ttSpiral, TTieType::ttTie}) {
        en.TieType = si.TieType = type;
        DesignRebarCage(en);
        DesignRebarCage(si);
        const TRebarCageResults& a = en.RebarCageResults;
        const TRebarCageResults& b = si.RebarCageResults;
        EXPECT_NEAR(a.Beta1, b.Beta1, 1e-12L);
        EXPECT_NEAR(a.ReinforcementRatio, b.ReinforcementRatio, 1e-9L);
        EXPECT_NEAR(a.PhiPnMax, b.PhiPnMax * 1000 / kNPerKip, 0.01L);
        EXPECT_NEAR(a.PhiPnT, b.PhiPnT * 1000 / kNPerKip, 0.01L);
        EXPECT_NEAR(a.PhiMn0, b.PhiMn0 / kKNmPerKft, 0.01L);
        EXPECT_NEAR(a.PhiMnAtPu, b.PhiMnAtPu / kKNmPerKft, 0.01L);
        EXPECT_NEAR(a.MomentUtilization, b.MomentUtilization, 0.01L);
        EXPECT_NEAR(a.AxialUtilization, b.AxialUtilization, 0.01L);
        EXPECT_EQ(a.Point0Steps, b.Point0Steps);
        for (int i = 0; i < kInteractionPointCount; ++i) {
            const TInteractionPoint& x = en.InteractionPoints[i];
            const TInteractionPoint& y = si.InteractionPoints[i];
            EXPECT_NEAR(x.c, y.c / 25.4L, 1e-4L) << i;
            EXPECT_NEAR(x.fs1, y.fs1 / kMPaPerKsi, 1e-4L) << i;
            EXPECT_NEAR(x.Ac, y.Ac / 645.16L, 1e-3L) << i;
            EXPECT_NEAR(x.phiPn, y.phiPn * 1000 / kNPerKip, 0.01L) << i;
            EXPECT_NEAR(x.phiMn, y.phiMn / kKNmPerKft, 0.01L) << i;
        }
    }
}

// ---------------------------------------------------------------------------------------------

// With no steel force the concrete area needed for zero axial force stays 0, so the
// tolerance is never met: the search stops at its bound and point 0 and the points placed
// from it are undefined, as is every result read from them.
TEST(RebarCagePoint0, SearchIsBoundedWhenTheToleranceIsNeverMet)
{
    for (int variant = 0; variant < 2; ++variant) {
        TTWData p = EnglishPier();
        if (variant == 0)
            p.YieldStrength = 0;
        else
            p.BarCount = 0;
        DesignRebarCage(p);
        const TRebarCageResults& r = p.RebarCageResults;
        EXPECT_TRUE(r.Defined);
        EXPECT_FALSE(r.Point0Converged);
        EXPECT_EQ(r.Point0Steps, kPoint0StepLimit);
        for (int i = 0; i <= 2; ++i) {
            EXPECT_FALSE(p.InteractionPoints[i].Defined) << i;
            EXPECT_TRUE(std::isnan(p.InteractionPoints[i].phiMn)) << i;
        }
        for (int i = 3; i < kInteractionPointCount; ++i) {
            EXPECT_TRUE(p.InteractionPoints[i].Defined) << i;
            EXPECT_TRUE(std::isfinite(p.InteractionPoints[i].phiMn)) << i;
        }
        EXPECT_TRUE(std::isnan(r.PhiMn0));
        // Pu = 0 falls in the undefined stretch: N.A., not "outside the diagram".
        EXPECT_TRUE(std::isnan(r.PhiMnAtPu));
        EXPECT_FALSE(r.MomentUtilizationNA);
        EXPECT_TRUE(std::isnan(r.MomentUtilization));
        EXPECT_FALSE(r.MomentOK);
        // Above the balanced point the diagram is still known.
        const auto& pts = p.InteractionPoints;
        EXPECT_NEAR(MomentCapacityAt(p, (pts[3].phiPn + pts[4].phiPn) / 2),
                    (pts[3].phiMn + pts[4].phiMn) / 2, 1e-9L);
    }
}

// ---------------------------------------------------------------------------------------------

TEST(RebarCageFailure, ArithmeticFailuresThrowAndLeaveTheResultsUndefined)
{
    // The default project: no pier diameter.
    TTWData blank;
    blank.TieSpacingOverride = 0;
    EXPECT_THROW(DesignRebarCage(blank), TAnalysisError);
    EXPECT_FALSE(blank.RebarCageResults.Defined);

    // A 3 in pipe with 3 in cover: the bar circle's radius is negative, so no bar fits (and
    // the balanced axis depth would come out negative, whose segment angle is arccos of more
    // than 1).
    TTWData p = TiedPier36();
    p.Reinforcement = TReinforcement::rfPipe;
    p.PileWidth = 0.25L;
    p.ClearCover = 3;
    p.VerticalBarSize = 10;
    p.TieSpacingOverride = 0;
    try {
        DesignRebarCage(p);
        FAIL() << "expected a TAnalysisError";
    } catch (const TAnalysisError& error) {
        EXPECT_EQ(error.Step(), "Rebar cage design");
        EXPECT_NE(error.Detail().find("do not fit"), std::string::npos) << error.Detail();
    }
    const TRebarCageResults& r = p.RebarCageResults;
    EXPECT_FALSE(r.Defined);
    EXPECT_TRUE(std::isnan(r.PhiPnMax));
    EXPECT_TRUE(std::isnan(r.PhiMnAtPu));
    EXPECT_FALSE(r.AxialOK);
    EXPECT_FALSE(r.MomentOK);
    for (const TInteractionPoint& pt : p.InteractionPoints)
        EXPECT_FALSE(pt.Defined);
    EXPECT_TRUE(std::isnan(MomentCapacityAt(p, 0))) << "no diagram is not 'outside the diagram'";
    // The spacing rule ran before the failure: min(16 x 1.27, 48 x 0.5, 3) = 3 in.
    EXPECT_EQ(r.CalculatedSpacing, 3.0L);
    EXPECT_EQ(p.TieSpacingOverride, 3.0L);

    // A zero bar modulus fails at the yield strain.
    TTWData q = EnglishPier();
    q.ElasticModulus = 0;
    EXPECT_THROW(DesignRebarCage(q), TAnalysisError);
}

// Between the compression-controlled and the tension-controlled limits phi follows the
// strain of layer 3: c = 6.5 in on the published column gives
// eps3 = 0.003 (6.5 - 16.48653) / 6.5 = -0.0046092, so a spiral has
// phi = 0.57 + 67 x 0.0046092 = 0.87882 and ties 0.48 + 83 x 0.0046092 = 0.86256.
TEST(RebarCageDiagram, PhiInTheTransitionForSpiralsAndTies)
{
    TTWData p = EnglishPier();
    TInteractionPoint q;
    q.c = 6.5L;
    ComputeInteractionPoint(p, q);
    EXPECT_NEAR(q.eps3, -0.00460917L, 1e-8L);
    EXPECT_NEAR(q.phi, 0.878815L, 1e-6L);
    p.TieType = TTieType::ttTie;
    ComputeInteractionPoint(p, q);
    EXPECT_NEAR(q.phi, 0.862561L, 1e-6L);
    // Closer to balanced the floors govern: 0.75 for spirals, 0.65 for ties.
    q.c = 10; // eps3 = -0.0019460
    ComputeInteractionPoint(p, q);
    EXPECT_EQ(q.phi, 0.65L);
    p.TieType = TTieType::ttSpiral;
    ComputeInteractionPoint(p, q);
    EXPECT_EQ(q.phi, 0.75L);
}

TEST(RebarCageSpacing, SpiralLimitsInMillimetresAreInclusive)
{
    TTWData si = SIPier();
    si.TieSpacingOverride = 25;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage, "Spacing Good");
    EXPECT_TRUE(si.RebarCageResults.SpacingOK);
    si.TieSpacingOverride = 24.9L;
    DesignRebarCage(si);
    EXPECT_EQ(si.RebarCageResults.SpacingMessage, "Must be between 25 and 75 mm");
    EXPECT_FALSE(si.RebarCageResults.SpacingOK);
}

// The zero-axial-load search of the published column, followed by hand: from c = D/3 the
// 0.5 % steps go down while the concrete area exceeds the required one and then alternate
// about the balance, meeting the 0.5 % tolerance at the 59th point tried, after 35 steps down
// and 23 up: c0 = 20/3 x 0.995^35 x 1.005^23 = 6.273877 in, where Ac = 58.7722 in2 against
// the required (|Ft| - steel part of Fc) / (0.85 f'c) = 58.4830 in2.
TEST(RebarCagePoint0, SearchStepsByHalfAPercentFromAThirdOfTheDiameter)
{
    TTWData p = EnglishPier();
    DesignRebarCage(p);
    const TRebarCageResults& r = p.RebarCageResults;
    ASSERT_TRUE(r.Point0Converged);
    EXPECT_EQ(r.Point0Steps, 59);
    EXPECT_NEAR(p.InteractionPoints[0].c, 6.2738768177896879L, 1e-12L);
    EXPECT_NEAR(p.InteractionPoints[0].Ac, 58.772156L, 1e-6L);
}

TEST(RebarCageFit, BarsMustStandRoundThePierAtTheirClearSpacing)
{
    // 36 in pier, 1.5 in cover, #4 ties, #8 bars: the bar circle has a radius of
    // 18 - 1.5 - 0.5 - 0.5 = 15.5 in and the bars need 1.0 + 1.5 = 2.5 in centre to centre;
    // 31 sin(pi / 38) = 2.560 in fits, 31 sin(pi / 39) = 2.495 in does not.
    TTWData p = TiedPier36();
    EXPECT_EQ(MinimumBarClearSpacing(p), 1.5L);
    EXPECT_EQ(MaxBarsAroundCage(p), 38);
    p.BarCount = 38;
    EXPECT_NO_THROW(DesignRebarCage(p));
    for (const int32_t count : {39, 2147483647}) {
        p.BarCount = count;
        try {
            DesignRebarCage(p);
            ADD_FAILURE() << count << " bars were accepted";
        } catch (const TAnalysisError& error) {
            EXPECT_NE(error.Detail().find(std::to_string(count) +
                                          " vertical bars of 1 in do not fit round the pier: at "
                                          "most 38 fit"),
                      std::string::npos)
                << error.Detail();
        }
        EXPECT_FALSE(p.RebarCageResults.Defined);
    }
    // #11 bars (1.41 in) keep 1.5 diameters clear, more than 1.5 in.
    p.VerticalBarSize = 11;
    EXPECT_NEAR(MinimumBarClearSpacing(p), 1.5L * 1.41L, 1e-6L);
}
