// The pile analysis: stiffness, the node grid, the first and cut passes, fixity at the last
// node and the maxima of the cut pass.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "engine/TWClasses.h"
#include "support/TestWalls.h"

using namespace tw;
using tw::test::NetCoulombWall;

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// A PZ 22 sheet pile under User Defined pressures that are all zero, H 10 ft, no ignore
// height: only the loads at the top act.
TTWData UnloadedSheetPile()
{
    TTWData p;
    p.SetPileType(TPileType::ptSheetPile);
    p.InstallMethod = TInstallMethod::imDriven;
    p.AnalysisMethod = TAnalysisMethod::amUserDefined;
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    p.ShoredHeight = 10;
    p.PileSpacing = 1;
    p.PileWidth = 1;
    p.BackfillUnitWeight = 120;
    p.PassiveUnitWeight = 120;
    p.ActiveEFP = 35;
    p.PassiveEFP = 300;
    p.WedgeMultiplier = 1;
    p.ElasticModulus = 29000;
    p.YieldStrength = 50;
    p.AllowableTopDeflection = 1;
    p.LoadPoints = {{{0, 0}, {3, 0}, {6, 0}, {10, 0}, {10, 0}, {14, 0}, {18, 0}, {21, 0}}};
    p.PassivePoints = {{{10, 0}, {14, 0}, {18, 0}, {21, 0}}};
    p.SelectSection(FindByName(p.SteelShapes(), "PZ 22"));
    return p;
}

} // namespace

TEST(PileAnalysisStiffness, SoldierBeamSteelAboveConcreteBelow)
{
    TTWData p = NetCoulombWall();
    p.Analyze();
    const long double ix = p.GetSection().Ix;
    EXPECT_EQ(p.SectionInertia, ix);
    EXPECT_NEAR(p.PierInertia, kPi * std::pow(24.0L, 4) / 64, 1e-9); // in4
    EXPECT_NEAR(p.ConcreteModulus, 57 * std::sqrt(3000.0L), 1e-9);   // ksi
    EXPECT_NEAR(p.StiffnessAbove, 29000 * ix / 144, 1e-9);           // k-ft2
    EXPECT_NEAR(p.StiffnessBelow, p.PierInertia * p.ConcreteModulus / 144, 1e-6);
    EXPECT_NEAR(p.NodeSpacing, 10.0L / 30, 1e-15);
}

TEST(PileAnalysisStiffness, ConcreteAboveGradeForSlurryCageAndFilledPipe)
{
    TTWData cage = NetCoulombWall();
    cage.Reinforcement = TReinforcement::rfRebarCage;
    cage.ShoredHeightFill = TShoredHeightFill::sfConcrete; // keeps the section stiffness
    cage.Analyze();
    EXPECT_NEAR(cage.StiffnessAbove, 29000 * cage.GetSection().Ix / 144, 1e-9);
    cage.ShoredHeightFill = TShoredHeightFill::sfSlurry;
    cage.Analyze();
    EXPECT_EQ(cage.StiffnessAbove, cage.StiffnessBelow);

    TTWData pipe = NetCoulombWall();
    pipe.Reinforcement = TReinforcement::rfPipe;
    pipe.SelectSection(5);
    pipe.Analyze();
    EXPECT_NE(pipe.StiffnessAbove, pipe.StiffnessBelow);
    pipe.PipeFilled = true;
    pipe.Analyze();
    EXPECT_EQ(pipe.StiffnessAbove, pipe.StiffnessBelow);

    TTWData sheet = UnloadedSheetPile();
    sheet.Analyze();
    EXPECT_NEAR(sheet.StiffnessAbove, 29000 * 84.38L / 144, 1e-9);
    EXPECT_EQ(sheet.StiffnessBelow, sheet.StiffnessAbove);
}

TEST(PileAnalysisStiffness, SiUnits)
{
    TTWData p = NetCoulombWall();
    p.SetUnitSystem(TUnitSystem::usSI);
    p.ShoredHeight = 3;
    p.PileWidth = 0.6L;
    p.PileSpacing = 2.4L;
    p.BackfillUnitWeight = 19;
    p.PassiveUnitWeight = 19;
    p.ElasticModulus = 200000;
    p.ConcreteStrength = 25;
    p.SelectSection(10);
    p.Analyze();
    EXPECT_NEAR(p.PierInertia, 1e8L * kPi * std::pow(0.6L, 4) / 64, 1e-6);    // cm4
    EXPECT_NEAR(p.ConcreteModulus, 4700 * 5, 1e-12);                          // MPa
    EXPECT_NEAR(p.StiffnessAbove, 200000 * p.GetSection().Ix / 100000, 1e-9); // kN-m2
    EXPECT_NEAR(p.StiffnessBelow, p.PierInertia * 23500 / 100000, 1e-6);
}

TEST(PileAnalysisStiffness, PierOfADrivenPileIsItsFlangeWidth)
{
    // A driven W18X86 (bf 11.1 in): B = 11.1 / 12 ft, so the pier is pi 11.1^4 / 64
    // = 745.1811 in4 whatever PileWidth holds.
    TTWData p = NetCoulombWall();
    p.InstallMethod = TInstallMethod::imDriven;
    p.Analyze();
    EXPECT_NEAR(p.PierInertia, 745.1811L, 1e-4);
    EXPECT_NEAR(p.StiffnessBelow, 745.1811L * 57 * std::sqrt(3000.0L) / 144, 1e-3);
}

TEST(PileAnalysisGrid, NodeDepths)
{
    TTWData p = NetCoulombWall();
    p.IgnorePassiveHeight = 1.5L;
    p.Analyze();
    const auto& n = p.Nodes;
    EXPECT_EQ(n[0].Depth, 0);
    EXPECT_NEAR(n[15].Depth, 5, 1e-15);
    EXPECT_EQ(n[30].Depth, 10);
    EXPECT_EQ(n[31].Depth, 10);
    EXPECT_EQ(n[32].Depth, 11.5L);
    EXPECT_EQ(n[33].Depth, 11.5L);
    EXPECT_NEAR(n[43].Depth, 11.5L + 4, 1e-14);     // 10 steps of 0.04 H
    EXPECT_NEAR(n[55].Depth, 11.5L + 4 + 5, 1e-14); // 12 steps of H/24
    EXPECT_NEAR(n[63].Depth, 11.5L + 12, 1e-14);    // 8 steps of 0.0375 H: H + IP + 1.2 H
    for (int i = 1; i < kPileNodeCount; ++i)
        EXPECT_GE(n[i].Depth, n[i - 1].Depth) << i;

    p.IgnorePassiveHeight = 0;
    p.Analyze();
    for (int i : {30, 31, 32, 33})
        EXPECT_EQ(p.Nodes[i].Depth, 10) << i;
}

TEST(PileAnalysisGrid, NodePressuresFollowTheDiagrams)
{
    TTWData p = NetCoulombWall();
    p.Surcharge = 100;
    p.IgnorePassiveHeight = 1;
    p.Analyze();
    const auto& n = p.Nodes;
    EXPECT_EQ(n[0].Pressure, p.LoadPoints[0].W);
    // The loading diagram is one straight line over the shored height.
    EXPECT_NEAR(n[30].Pressure, (40 * 10 + 100.0L / 3) / 1000, 1e-12);
    EXPECT_NEAR(n[12].Pressure, (40 * 4 + 100.0L / 3) / 1000, 1e-12);
    EXPECT_EQ(n[31].Pressure, p.LoadPoints[4].W); // Net Pressure: nothing below the base
    EXPECT_EQ(n[32].Pressure, p.PassivePoints[0].W);
    EXPECT_EQ(n[33].Pressure, p.PassivePoints[0].W);
    for (int i = 0; i < kPileNodeCount; ++i)
        EXPECT_NEAR(n[i].Load, n[i].Pressure * 8, 1e-15) << i;
    for (int i = 56; i < kPileNodeCount; ++i) {
        EXPECT_EQ(n[i].Pressure, 0) << i;
        EXPECT_EQ(n[i].Load, 0) << i;
    }
    // The step 55-56 still carries half the load of node 55; below it the shear holds and
    // the moment changes by shear x step.
    EXPECT_NEAR(n[56].Shear, n[55].Shear + n[55].Load / 2 * (n[56].Depth - n[55].Depth), 1e-12);
    for (int i = 57; i < kPileNodeCount; ++i) {
        EXPECT_NEAR(n[i].Shear, n[56].Shear, 1e-12) << i;
        EXPECT_NEAR(n[i].Moment - n[i - 1].Moment, n[i].Shear * (n[i].Depth - n[i - 1].Depth), 1e-9)
            << i;
    }
}

TEST(PileAnalysisPasses, UniformTopMomentOnACantileverFixedAtTheLastNode)
{
    // No soil pressure, only a moment M = 10 k-ft at the top of a PZ 22 pile whose last node
    // lies at L = H + 1.2 H = 22 ft. The moment is M all along; fixed at node 63 the top moves
    // M L^2 / (2 EI) = 10 x 484 / (2 x 16993.19) ft = 0.1424100 ft = 1.708919 in.
    TTWData p = UnloadedSheetPile();
    p.OtherMoment = 10;
    p.Analyze();
    const long double EI = 29000 * 84.38L / 144;
    EXPECT_NEAR(p.Nodes[63].Depth, 22, 1e-13);
    for (int i = 0; i < kPileNodeCount; ++i) {
        EXPECT_NEAR(p.Nodes[i].Shear, 0, 1e-15) << i;
        EXPECT_NEAR(p.Nodes[i].Moment, 10, 1e-12) << i;
        EXPECT_NEAR(p.Nodes[i].Slope, -10 * p.Nodes[i].Depth / EI, 1e-15) << i;
    }
    EXPECT_NEAR(p.Nodes[0].DeflectionOut, -12 * 10 * 22 * 22 / (2 * EI), 1e-10);
    EXPECT_NEAR(p.TopDeflection, 1.708919L, 1e-6);
    EXPECT_NEAR(p.MaxMomentAbove, 10, 1e-12);
    EXPECT_EQ(p.MaxMomentAboveNode, 0); // first of equal values
    EXPECT_EQ(p.MaxMomentBelowNode, 31);
}

TEST(PileAnalysisPasses, StiffnessChangesAtTheExcavationBase)
{
    // A drilled W18X86 soldier beam with zero pressures, a 10 k-ft top moment, H 10 ft and
    // IP 1 ft: the moment is 10 all along, so the slope falls by 10 x step / EI.
    //   Above grade (steps ending at nodes 1 to 30): EI = 29000 x 1530 / 144 = 308125 k-ft2,
    //   slope(30) = -10 x 10 / 308125 = -3.245436e-4; node 31 lies at the same depth.
    //   Below grade (steps ending at nodes 31 to 63): EI = pi 24^4 / 64 x 57 sqrt(3000) / 144
    //   = 16286.016 x 3122.0186 / 144 = 353091.98 k-ft2; slope(32) = slope(30) - 10 x 1 /
    //   353091.98 = -3.528648e-4; slope(63) = -10 (10 / 308125 + 13 / 353091.98)
    //   = -6.927196e-4 (node 63 at H + IP + 1.2 H = 23 ft).
    //   Fixed at node 63, the top moves by the moment of the curvature about the top:
    //   12 x 10 (10^2 / (2 x 308125) + (23^2 - 10^2) / (2 x 353091.98)) = 0.0923715 in.
    TTWData p = UnloadedSheetPile();
    p.SetPileType(TPileType::ptSoldierBeam);
    p.InstallMethod = TInstallMethod::imDrilled;
    p.Reinforcement = TReinforcement::rfIBeam;
    p.PileSpacing = 8;
    p.PileWidth = 2;
    p.ConcreteStrength = 3;
    p.IgnorePassiveHeight = 1;
    p.PassivePoints = {{{11, 0}, {15, 0}, {19, 0}, {22, 0}}};
    p.SelectSection(FindByName(p.SteelShapes(), "W18X86"));
    p.OtherMoment = 10;
    p.Analyze();
    const auto& n = p.Nodes;
    EXPECT_NEAR(p.StiffnessAbove, 308125, 1e-9);
    EXPECT_NEAR(p.StiffnessBelow, 353091.98L, 1e-2);
    EXPECT_NEAR(n[30].Slope, -3.245436e-4L, 1e-10);
    EXPECT_EQ(n[31].Slope, n[30].Slope);
    EXPECT_NEAR(n[32].Slope, -3.528648e-4L, 1e-10);
    EXPECT_NEAR(n[63].Slope, -6.927196e-4L, 1e-10);
    EXPECT_NEAR(n[30].CutSlope, n[30].Slope, 1e-18);
    EXPECT_NEAR(n[63].CutSlope, n[63].Slope, 1e-18);
    EXPECT_NEAR(p.TopDeflection, 0.0923715L, 1e-7);
}

TEST(PileAnalysisPasses, FixityAtNode63)
{
    for (TTWData p : {NetCoulombWall(), UnloadedSheetPile()}) {
        p.LateralLoadTop = 2;
        p.OtherMoment = 5;
        p.Analyze();
        const TPileNode& last = p.Nodes[63];
        EXPECT_EQ(last.RelSlope, 0);
        EXPECT_EQ(last.CutRelSlope, 0);
        EXPECT_EQ(last.DeflectionOut, 0);
        EXPECT_EQ(last.CutDeflectionOut, 0);
        EXPECT_EQ(p.Nodes[0].Deflection, 0);
        EXPECT_EQ(p.Nodes[0].CutDeflection, 0);
        EXPECT_EQ(p.Nodes[0].Shear, 2);
        EXPECT_EQ(p.Nodes[0].Moment, 5);
        EXPECT_EQ(p.Nodes[0].CutShear, 2);
        EXPECT_EQ(p.Nodes[0].CutMoment, 5);
        EXPECT_EQ(p.TopDeflection, std::fabs(p.Nodes[0].CutDeflectionOut));
    }
}

TEST(PileAnalysisPasses, CutPassDropsTheNonPositiveMomentZone)
{
    TTWData p = NetCoulombWall();
    p.Analyze();
    const auto& n = p.Nodes;
    // No top loads: the first pass starts at zero and rises through the shored height.
    EXPECT_EQ(n[0].Shear, 0);
    EXPECT_EQ(n[0].Moment, 0);
    EXPECT_GT(n[30].Moment, n[15].Moment);
    int firstCut = -1;
    for (int i = 1; i < kPileNodeCount; ++i) {
        if (n[i].Moment <= 0) {
            if (firstCut < 0)
                firstCut = i;
            EXPECT_EQ(n[i].CutLoad, 0) << i;
            EXPECT_EQ(n[i].CutShear, 0) << i;
            EXPECT_EQ(n[i].CutMoment, 0) << i;
        }
    }
    ASSERT_GT(firstCut, 31) << "the passive side must turn the moment";
    // Above the cut the two passes agree.
    for (int i = 0; i < firstCut; ++i) {
        EXPECT_EQ(n[i].CutShear, n[i].Shear) << i;
        EXPECT_EQ(n[i].CutMoment, n[i].Moment) << i;
    }
    // Below the cut the moment is zero, so the cut slope is constant.
    for (int i = firstCut + 1; i < kPileNodeCount; ++i) {
        if (n[i].Moment <= 0 && n[i - 1].Moment <= 0) {
            EXPECT_EQ(n[i].CutSlope, n[i - 1].CutSlope) << i;
        }
    }
}

TEST(PileAnalysisPasses, CutPassRestartsFromZeroWhereTheMomentTurnsPositiveAgain)
{
    // A negative top moment keeps the first-pass moment non-positive near the top until the
    // soil load turns it; the cut pass restarts there from zero shear and moment.
    TTWData p = NetCoulombWall();
    p.OtherMoment = -30;
    p.Analyze();
    const auto& n = p.Nodes;
    int restart = -1;
    for (int i = 2; i < kPileNodeCount && restart < 0; ++i)
        if (n[i].Moment > 0 && n[i - 1].Moment <= 0)
            restart = i;
    ASSERT_GT(restart, 1);
    for (int i = 1; i < restart; ++i)
        EXPECT_EQ(n[i].CutMoment, 0) << i;
    const long double step = n[restart].Depth - n[restart - 1].Depth;
    EXPECT_NEAR(n[restart].CutShear, n[restart].Load / 2 * step, 1e-15);
    EXPECT_NEAR(n[restart].CutMoment, n[restart].CutShear / 2 * step, 1e-15);
    EXPECT_LT(n[restart].CutMoment, n[restart].Moment);
}

namespace {

// The node values by the formulas as written: one loop over the nodes with the diagram read
// at each depth, both passes side by side, then fixity at the last node. The analysis
// computes the same values in another order and copies values it knows to be equal, so the
// two must agree bit for bit.
std::array<TPileNode, kPileNodeCount> PlainNodes(const TTWData& p)
{
    std::array<TPileNode, kPileNodeCount> n{};
    const long double H = p.ShoredHeight, IP = p.IgnorePassiveHeight, S = p.PileSpacing;
    for (int i = 0; i <= 30; ++i)
        n[i].Depth = static_cast<long double>(i) * H / 30;
    n[31].Depth = H;
    n[32].Depth = H + IP;
    for (int i = 33; i <= 43; ++i)
        n[i].Depth = n[32].Depth + static_cast<long double>(i - 33) * 0.04L * H;
    for (int i = 44; i <= 55; ++i)
        n[i].Depth = n[43].Depth + static_cast<long double>(i - 43) * H / 24;
    for (int i = 56; i <= 63; ++i)
        n[i].Depth = n[55].Depth + static_cast<long double>(i - 55) * 0.0375L * H;
    const std::span<const TPressurePoint, 4> above(p.LoadPoints.data(), 4);
    const std::span<const TPressurePoint, 4> below(p.LoadPoints.data() + 4, 4);
    n[0].Pressure = p.LoadPoints[0].W;
    n[0].Load = n[0].Pressure * S;
    n[0].Shear = n[0].CutShear = p.LateralLoadTop;
    n[0].Moment = n[0].CutMoment = p.TopMoment;
    n[0].CutLoad = n[0].Load;
    for (int i = 1; i < kPileNodeCount; ++i) {
        const long double x = n[i].Depth;
        long double pressure = 0;
        if (i <= 30)
            pressure = TTWData::PressureAt(above, x);
        else if (i == 31)
            pressure = p.LoadPoints[4].W;
        else if (i == 32)
            pressure = TTWData::PressureAt(below, x) + p.PassivePoints[0].W;
        else if (i <= 55)
            pressure = TTWData::PressureAt(below, x) + TTWData::PressureAt(p.PassivePoints, x);
        n[i].Pressure = pressure;
        n[i].Load = pressure * S;
        const long double d = x - n[i - 1].Depth;
        const long double EI = i <= 30 ? p.StiffnessAbove : p.StiffnessBelow;
        n[i].Shear = n[i - 1].Shear + (n[i].Load + n[i - 1].Load) / 2 * d;
        n[i].Moment = n[i - 1].Moment + (n[i].Shear + n[i - 1].Shear) / 2 * d;
        n[i].Slope = n[i - 1].Slope - (n[i].Moment + n[i - 1].Moment) / 2 * d / EI;
        const bool kept = n[i].Moment > 0;
        n[i].CutLoad = kept ? n[i].Load : 0;
        n[i].CutShear = kept ? n[i - 1].CutShear + (n[i].CutLoad + n[i - 1].CutLoad) / 2 * d : 0;
        n[i].CutMoment =
            kept ? n[i - 1].CutMoment + (n[i].CutShear + n[i - 1].CutShear) / 2 * d : 0;
        n[i].CutSlope = n[i - 1].CutSlope - (n[i].CutMoment + n[i - 1].CutMoment) / 2 * d / EI;
    }
    const long double out = p.Units == TUnitSystem::usSI ? 1000 : 12;
    const auto fix = [&n, out](long double TPileNode::*slope, long double TPileNode::*rel,
                               long double TPileNode::*deflection, long double TPileNode::*shown) {
        for (auto& node : n)
            node.*rel = node.*slope - n[63].*slope;
        n[0].*deflection = 0;
        for (int i = 1; i < kPileNodeCount; ++i)
            n[i].*deflection = n[i - 1].*deflection +
                               (n[i].*rel + n[i - 1].*rel) / 2 * (n[i].Depth - n[i - 1].Depth);
        const long double last = n[63].*deflection;
        for (auto& node : n)
            node.*shown = (node.*deflection - last) * out;
    };
    fix(&TPileNode::Slope, &TPileNode::RelSlope, &TPileNode::Deflection, &TPileNode::DeflectionOut);
    fix(&TPileNode::CutSlope, &TPileNode::CutRelSlope, &TPileNode::CutDeflection,
        &TPileNode::CutDeflectionOut);
    return n;
}

// Equal to the last bit: the same value and the same sign of zero.
bool SameValue(long double a, long double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

} // namespace

TEST(PileAnalysisPasses, NodesEqualThePlainFormulasBitForBit)
{
    std::vector<std::pair<std::string, TTWData>> walls;
    walls.emplace_back("hand-checked soldier beam", tw::test::HandCheckedWall());
    TTWData loaded = NetCoulombWall();
    loaded.LateralLoadTop = 3;
    loaded.OtherMoment = 12;
    loaded.IgnorePassiveHeight = 1.5L;
    walls.emplace_back("top load and moment, ignored passive height", loaded);
    TTWData restart = NetCoulombWall();
    restart.OtherMoment = -30;
    walls.emplace_back("negative top moment (cut pass restarts)", restart);
    TTWData gross = NetCoulombWall();
    gross.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    gross.Backfill2Phi = 28;
    gross.Backfill2UnitWeight = 115;
    gross.Backfill2Surcharge = 50;
    walls.emplace_back("gross pressure", gross);
    TTWData capped = NetCoulombWall();
    capped.SoilMethod = TSoilMethod::smEquivalentFluid;
    capped.ActiveEFP = 40;
    capped.PassiveEFP = 350;
    capped.MaxPassivePressure = 2500;
    walls.emplace_back("equivalent fluid, capped passive", capped);
    TTWData user = UnloadedSheetPile();
    user.LateralLoadTop = 1;
    // Points out of order: the second and third points of each diagram are swapped in depth.
    user.LoadPoints = {
        {{0, 0.1L}, {7, 0.2L}, {3, 0.35L}, {10, 0.3L}, {10, 0}, {18, 0.2L}, {14, 0.1L}, {21, 0}}};
    user.PassivePoints = {{{10, -0.5L}, {18, -2}, {14, -1.2L}, {21, -3}}};
    walls.emplace_back("user defined sheet pile, points out of order", user);
    TTWData si = tw::test::HandCheckedWall();
    si.Units = TUnitSystem::usSI;
    si.LoadCatalogues();
    si.ShoredHeight = 4.5L;
    si.PileSpacing = 2.4L;
    si.PileWidth = 0.75L;
    si.BackfillUnitWeight = 18.9L;
    si.PassiveUnitWeight = 18.9L;
    si.Surcharge = 3.45L;
    si.ElasticModulus = 200000;
    si.ConcreteStrength = 21;
    si.SelectSection(0);
    walls.emplace_back("SI soldier beam", si);

    for (auto& [name, p] : walls) {
        SCOPED_TRACE(name);
        ASSERT_NO_THROW(p.Analyze());
        const auto plain = PlainNodes(p);
        int mismatches = 0;
        for (int i = 0; i < kPileNodeCount; ++i) {
            const long double* got = &p.Nodes[i].Depth;
            const long double* want = &plain[i].Depth;
            for (int f = 0; f < 16; ++f) {
                if (!SameValue(got[f], want[f]) && ++mismatches <= 5)
                    ADD_FAILURE() << "node " << i << " field " << f << ": "
                                  << static_cast<double>(got[f]) << " instead of "
                                  << static_cast<double>(want[f]);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(PileAnalysisFailure, ZeroLengthSegmentEndsThePassAtItsNode)
{
    // The second passive point at the top of the passive zone: node 33, at that depth, is the
    // first to read the passive diagram (node 32 takes its first point alone) and reads the
    // zero-length first segment. The first pass is complete above it; from node 33 on nothing
    // is written, and the cut pass does not run.
    TTWData p = UnloadedSheetPile();
    p.LoadPoints = {
        {{0, 0.1L}, {3, 0.2L}, {6, 0.3L}, {10, 0.4L}, {10, 0}, {14, 0}, {18, 0}, {21, 0}}};
    p.PassivePoints = {{{10, -1}, {10, -2}, {18, -3}, {21, -4}}};
    for (TPileNode& n : p.Nodes)
        n.Pressure = n.Shear = n.Slope = n.CutShear = -99;
    try {
        p.Analyze();
        FAIL() << "a zero-length segment must end the analysis";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "Pile analysis");
        EXPECT_NE(e.Detail().find("two points of the diagram lie at the same depth"),
                  std::string::npos);
    }
    EXPECT_EQ(p.Nodes[31].Pressure, 0) << "loading point 5";
    EXPECT_EQ(p.Nodes[32].Pressure, -1) << "no loading below the base, passive point 1";
    EXPECT_GT(p.Nodes[32].Shear, 0);
    EXPECT_LT(p.Nodes[32].Slope, 0);
    EXPECT_EQ(p.Nodes[33].Pressure, -99);
    EXPECT_EQ(p.Nodes[33].Shear, -99);
    EXPECT_EQ(p.Nodes[33].Slope, -99);
    EXPECT_EQ(p.Nodes[1].CutShear, -99);
}

TEST(PileAnalysisMaxima, ScanRules)
{
    TTWData p;
    for (TPileNode& n : p.Nodes) {
        n = TPileNode{};
    }
    for (int i = 0; i < kPileNodeCount; ++i)
        p.Nodes[i].Depth = i * 0.5L;

    // Equal magnitudes: the positive value, and the first of equal values.
    p.Nodes[5].CutShear = 7;
    p.Nodes[9].CutShear = 7;
    p.Nodes[40].CutShear = -7;
    p.Nodes[3].CutMoment = 12;
    p.Nodes[20].CutMoment = 12;
    p.Nodes[30].CutMoment = 11;
    p.Nodes[31].CutMoment = 50; // below grade only
    p.Nodes[0].CutDeflectionOut = -0.75L;
    p.ComputeMaxima();
    EXPECT_EQ(p.MaxShear, 7);
    EXPECT_EQ(p.MaxShearNode, 5);
    EXPECT_EQ(p.MaxShearDepth, 2.5L);
    EXPECT_EQ(p.MaxMomentAbove, 12);
    EXPECT_EQ(p.MaxMomentAboveNode, 3);
    EXPECT_EQ(p.MaxMomentAboveDepth, 1.5L);
    EXPECT_EQ(p.MaxMomentBelow, 50);
    EXPECT_EQ(p.MaxMomentBelowNode, 31);
    EXPECT_EQ(p.TopDeflection, 0.75L);

    // A larger negative shear wins, signed; the first of equal negatives.
    p.Nodes[41].CutShear = -9;
    p.Nodes[50].CutShear = -9;
    p.ComputeMaxima();
    EXPECT_EQ(p.MaxShear, -9);
    EXPECT_EQ(p.MaxShearNode, 41);
    EXPECT_EQ(p.MaxShearDepth, 20.5L);

    // All moments below grade negative: the largest (least negative) one.
    for (int i = 31; i < kPileNodeCount; ++i)
        p.Nodes[i].CutMoment = -100 + i;
    p.ComputeMaxima();
    EXPECT_EQ(p.MaxMomentBelow, -37);
    EXPECT_EQ(p.MaxMomentBelowNode, 63);
}

TEST(PileAnalysisFailure, ZeroStiffnessNamesTheStep)
{
    TTWData p = NetCoulombWall();
    p.ElasticModulus = 0;
    p.MaxShear = -1;
    try {
        p.Analyze();
        FAIL() << "a zero stiffness must end the analysis";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "Pile analysis");
        EXPECT_NE(e.Detail().find("stiffness above grade is 0"), std::string::npos);
    }
    // The diagrams and the embedment were computed before; the maxima were not.
    EXPECT_GT(p.EquilibriumDepth, 0);
    EXPECT_GT(p.LoadPoints[3].W, 0);
    EXPECT_EQ(p.MaxShear, -1);

    // Below grade: a zero f'c fails at node 31, after the nodes above the base are done.
    TTWData q = NetCoulombWall();
    q.ConcreteStrength = 0;
    q.Nodes[31].Shear = 12345;
    try {
        q.Analyze();
        FAIL() << "a zero stiffness below grade must end the analysis";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "Pile analysis");
        EXPECT_NE(e.Detail().find("below grade"), std::string::npos);
    }
    EXPECT_GT(q.Nodes[30].Moment, 0);
    EXPECT_EQ(q.Nodes[31].Shear, 12345);
}
