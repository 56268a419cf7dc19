// The beam on nonlinear soil springs: closed forms with elastic springs, equilibrium of every
// solution, the walls' loads, and the failure when the soil cannot hold the wall.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "engine/ResultsJson.h"
#include "engine/SoilSprings.h"
#include "engine/TWClasses.h"
#include "engine/UnitConversion.h"
#include "support/RandomWalls.h"
#include "support/TestWalls.h"

using namespace tw;

namespace {

constexpr long double kHuge = 1e30L; // springs that never yield

// A uniform beam of `elements` equal elements over [0, length] with the elastic spring k per
// unit length on every node (lumped over its share), loaded at the top.
TSpringBeam UniformBeam(int elements, long double length, long double EI, long double k,
                        long double force, long double moment)
{
    TSpringBeam b;
    const long double h = length / elements;
    for (int i = 0; i <= elements; ++i)
        b.X.push_back(h * i);
    b.EI.assign(elements, EI);
    b.LoadTop.assign(elements, 0);
    b.LoadBottom.assign(elements, 0);
    b.Front.assign(elements + 1, {});
    b.Back.assign(elements + 1, {});
    for (int i = 0; i <= elements; ++i) {
        const long double share = i == 0 || i == elements ? h / 2 : h;
        b.Front[i] = {0, k * share, -kHuge, kHuge};
    }
    b.TopForce = force;
    b.TopMoment = moment;
    return b;
}

long double TopDeflection(const TSpringBeam& b)
{
    const TSpringBeamSolution s = SolveSpringBeam(b);
    EXPECT_TRUE(s.Converged);
    return s.Nodes.empty() ? 0 : s.Nodes.front().Deflection;
}

TSoilSpringAnalysis SpringsOf(TTWData& p)
{
    p.Analyze();
    return ComputeSoilSpringAnalysis(p);
}

} // namespace

TEST(SoilSprings, ElasticBeamsMatchTheirClosedForms)
{
    // Hetenyi's semi-infinite beam on an elastic foundation: the top deflects 2 P beta / k
    // under a force and 2 M beta^2 / k under a moment. A rigid pile on uniform springs:
    // 4 P / (k L).
    const long double EI = 1e5, k = 100;
    const long double beta = std::pow(k / (4 * EI), 0.25L);
    const long double longPile = 8 * std::acos(-1.0L) / beta;
    struct Case
    {
        const char* Name;
        TSpringBeam Beam;
        long double Expected;
    };
    const Case cases[] = {
        {"force", UniformBeam(400, longPile, EI, k, 10, 0), 2 * 10 * beta / k},
        {"moment", UniformBeam(400, longPile, EI, k, 0, 50), 2 * 50 * beta * beta / k},
        {"rigid", UniformBeam(100, 5, 1e8, k, 10, 0), 4 * 10 / (k * 5)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(static_cast<double>(TopDeflection(c.Beam) / c.Expected), 1, 0.01) << c.Name;
}

TEST(SoilSprings, SpringsGrowingWithDepthMatchTheSeriesSolution)
{
    // The sand case, a spring n_h z: a free-headed pile of length 10 T, T = (EI / n_h)^(1/5),
    // deflects Ay P T^3 / EI under a top force and By M T^2 / EI under a top moment, with
    // Ay = 2.42918 and By = 1.61940 from the power series of y'''' + (z / T) y = 0.
    const long double EI = 1e5, nh = 10;
    const long double T = std::pow(EI / nh, 0.2L);
    const auto pile = [&](long double force, long double moment) {
        TSpringBeam b = UniformBeam(400, 10 * T, EI, 0, force, moment);
        for (std::size_t i = 0; i < b.X.size(); ++i) {
            const long double lo = i == 0 ? 0 : (b.X[i - 1] + b.X[i]) / 2;
            const long double hi = i + 1 == b.X.size() ? b.X[i] : (b.X[i] + b.X[i + 1]) / 2;
            b.Front[i].K = nh * (hi * hi - lo * lo) / 2;
        }
        return b;
    };
    EXPECT_NEAR(static_cast<double>(TopDeflection(pile(10, 0)) / (2.42918L * 10 * T * T * T / EI)),
                1, 0.001);
    EXPECT_NEAR(static_cast<double>(TopDeflection(pile(0, 50)) / (1.61940L * 50 * T * T / EI)), 1,
                0.001);
}

TEST(SoilSprings, RefiningTheMeshConverges)
{
    // The lumped springs make an error of order h^2: each halving of the elements cuts the
    // error of the top deflection to about a quarter.
    const long double EI = 1e5, k = 100;
    const long double beta = std::pow(k / (4 * EI), 0.25L);
    const long double length = 8 * std::acos(-1.0L) / beta;
    const long double exact = 2 * 10 * beta / k;
    long double previous = 0;
    for (int elements : {25, 50, 100, 200}) {
        const long double error =
            std::fabs(TopDeflection(UniformBeam(elements, length, EI, k, 10, 0)) - exact);
        if (previous > 0) {
            EXPECT_LT(error, previous / 3) << elements << " elements";
        }
        previous = error;
    }
}

TEST(SoilSprings, YieldingSpringsCarryNoMoreThanTheirLimit)
{
    // A force larger than the elastic range of the top springs: every spring stays within
    // its limits, and the pile is still in equilibrium.
    TSpringBeam b = UniformBeam(100, 30, 1e5, 100, 40, 0);
    for (TSpringLaw& s : b.Front) {
        s.Lo = -1;
        s.Hi = 1;
    }
    const TSpringBeamSolution s = SolveSpringBeam(b);
    ASSERT_TRUE(s.Converged);
    EXPECT_NEAR(static_cast<double>(s.Nodes[0].FrontForce), 1, 1e-12);
    EXPECT_LT(std::fabs(s.ForceSum), 1e-6L);
    EXPECT_LT(std::fabs(s.MomentSum), 1e-6L);
}

TEST(SoilSprings, EveryWallIsInEquilibrium)
{
    TTWData sheet = tw::test::NetCoulombWall();
    sheet.SetPileType(TPileType::ptSheetPile);
    sheet.ApplySelectionRules();
    sheet.PileSpacing = sheet.PileWidth = 1;
    sheet.SelectSection(FindByName(sheet.SteelShapes(), "PZ 27"));
    TTWData clay = tw::test::HandCheckedWall();
    clay.PassivePhi = 0;
    clay.Cohesion = 1500;
    TTWData topLoads = tw::test::HandCheckedWall();
    topLoads.LateralLoadTop = 5;
    topLoads.OtherMoment = 20;
    TTWData si = tw::test::CaltransSoldierPile();
    ConvertProjectUnits(si, TUnitSystem::usSI);
    const char* names[] = {"hand-checked", "Caltrans", "sheet", "clay", "top loads", "SI"};
    int k = 0;
    for (TTWData wall : {tw::test::HandCheckedWall(), tw::test::CaltransSoldierPile(), sheet, clay,
                         topLoads, si}) {
        const char* name = names[k++];
        wall.Analyze();
        const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(wall);
        ASSERT_TRUE(a.Applicable) << name << ": " << a.Reason;
        // The shear below the toe and the moment at the toe: the sums of the forces and of
        // their moments on the pile.
        const TSoilSpringNode& toe = a.Nodes.back();
        const long double force = std::fabs(a.MaxShear), moment = std::fabs(a.MaxMoment);
        EXPECT_LT(std::fabs(toe.Shear), 1e-6L * force);
        EXPECT_LT(std::fabs(toe.Moment), 1e-6L * moment);
        EXPECT_GE(a.Elements, 100);
        EXPECT_GT(a.PassiveMobilized, 0);
        EXPECT_LT(a.PassiveMobilized, 1);
    }
}

TEST(SoilSprings, TheMomentAboveTheBaseIsTheDesigns)
{
    // Above the base the pile carries the design's loads: with very stiff springs the moment
    // there is the design's at every depth the two grids share (tenths of H), within the
    // design's trapezoid rule.
    TTWData p = tw::test::HandCheckedWall();
    p.SubgradeModulus = 1e6;
    const TSoilSpringAnalysis a = SpringsOf(p);
    ASSERT_TRUE(a.Applicable) << a.Reason;
    EXPECT_LT(a.PassiveMobilized, 1);
    int compared = 0;
    for (const TSoilSpringNode& n : a.Nodes) {
        for (int i = 3; i <= 30; i += 3) {
            if (std::fabs(n.Depth - p.Nodes[i].Depth) < 1e-9L) {
                EXPECT_NEAR(static_cast<double>(n.Moment),
                            static_cast<double>(p.Nodes[i].CutMoment),
                            0.002 * static_cast<double>(p.MaxMomentAbove))
                    << "at " << static_cast<double>(n.Depth);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 10);
}

TEST(SoilSprings, APileTooShortFindsNoEquilibrium)
{
    // The PDH G112 wall at its design embedment, about D0 of the free-earth method: in front
    // the full passive balances the moment about the toe but not the forces, and the soil
    // behind the toe needs more length (the classical 1.2 D0). A tenth more length stands.
    TTWData p = tw::test::PdhSoldierPile();
    p.Analyze();
    const TSoilSpringAnalysis atDesign = ComputeSoilSpringAnalysis(p);
    EXPECT_FALSE(atDesign.Applicable);
    EXPECT_EQ(atDesign.Reason, kSoilSpringExhausted);
    p.TotalPileLength = p.ShoredHeight + 1.1L * p.EmbedmentDepth;
    EXPECT_TRUE(ComputeSoilSpringAnalysis(p).Applicable);
}

TEST(SoilSprings, SoilClassesAndModuli)
{
    // Terzaghi's table in both unit systems (n_h of medium dense sand 21 t/ft^3, k1 of stiff
    // clay 75 t/ft^3), the class from the passive soil, and the typed modulus.
    EXPECT_NEAR(static_cast<double>(TerzaghiModulus(TSubgradeClass::MediumSand, true)), 24.306,
                1e-3);
    EXPECT_NEAR(static_cast<double>(TerzaghiModulus(TSubgradeClass::StiffClay, false)), 23563., 1.);
    TTWData dense = tw::test::HandCheckedWall();
    dense.PassivePhi = 38;
    EXPECT_EQ(SpringsOf(dense).SoilClass, TSubgradeClass::DenseSand);
    TTWData typed = tw::test::HandCheckedWall();
    typed.SubgradeModulus = 90;
    const TSoilSpringAnalysis a = SpringsOf(typed);
    TTWData table = tw::test::HandCheckedWall();
    // A stiffer soil moves the wall less.
    EXPECT_TRUE(a.UserModulus);
    EXPECT_LT(a.TopDeflection, SpringsOf(table).TopDeflection);
}

TEST(SoilSprings, ResultsJsonCarriesTheAnalysisOrItsReason)
{
    TTWData wall = tw::test::CaltransSoldierPile();
    const TSoilSpringAnalysis a = SpringsOf(wall);
    const auto doc = nlohmann::json::parse(ResultsToJson(wall)).at("SoilSpringAnalysis");
    EXPECT_TRUE(doc.at("Applicable").get<bool>());
    EXPECT_EQ(doc.at("TopDeflection").get<double>(), static_cast<double>(a.TopDeflection));
    EXPECT_EQ(doc.at("Nodes").size(), static_cast<std::size_t>(a.Elements) + 1);
    EXPECT_EQ(doc.at("Nodes").back().at("Depth").get<double>(),
              static_cast<double>(wall.TotalPileLength));

    TTWData user = tw::test::HandCheckedWall();
    user.AnalysisMethod = TAnalysisMethod::amUserDefined;
    user.Analyze();
    const auto na = nlohmann::json::parse(ResultsToJson(user)).at("SoilSpringAnalysis");
    EXPECT_FALSE(na.at("Applicable").get<bool>());
    EXPECT_EQ(na.at("Reason"), "pressures typed by the user");
}

TEST(SoilSprings, TheUnitSystemsAgree)
{
    // The same wall typed in SI: the same deflection (mm = 25.4 in) and moment (kN-m =
    // 1.3558 k-ft), within the rounding of the converted inputs; a sheet pile's springs per
    // unit length of wall and a typed modulus (pci to kN/m^3) included.
    TTWData sheet = tw::test::NetCoulombWall();
    sheet.SubgradeModulus = 90;
    sheet.SetPileType(TPileType::ptSheetPile);
    sheet.ApplySelectionRules();
    sheet.PileSpacing = sheet.PileWidth = 1;
    sheet.SelectSection(FindByName(sheet.SteelShapes(), "PZ 27"));
    for (const TTWData& wall : {tw::test::CaltransSoldierPile(), sheet}) {
        TTWData english = wall, si = wall;
        ConvertProjectUnits(si, TUnitSystem::usSI);
        const TSoilSpringAnalysis e = SpringsOf(english), s = SpringsOf(si);
        ASSERT_TRUE(e.Applicable && s.Applicable);
        EXPECT_NEAR(static_cast<double>(s.TopDeflection / (25.4L * e.TopDeflection)), 1, 0.005);
        EXPECT_NEAR(static_cast<double>(s.MaxMoment / (1.3558179483314L * e.MaxMoment)), 1, 0.005);
    }
}

TEST(SoilSprings, GeneratedWallsGetAnAnswerOrAReason)
{
    // Over walls of every kind: never a failure and never a stalled or long iteration (the
    // analysis runs after every edit); an answer is finite and in equilibrium, and no answer
    // says why.
    const std::string english = tw::test::ExampleProjectJson(false);
    const std::string si = tw::test::ExampleProjectJson(true);
    std::mt19937 rng(5);
    int applicable = 0;
    for (int k = 0; k < 600; ++k) {
        TTWData p = tw::test::RandomWall(rng, english, si);
        try {
            p.Analyze();
        } catch (const TAnalysisError&) {
            continue;
        }
        const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(p);
        ASSERT_LE(a.Iterations, 60) << k;
        if (!a.Applicable) {
            ASSERT_FALSE(a.Reason.empty()) << k;
            ASSERT_EQ(a.Reason.find("converge"), std::string::npos) << k;
            continue;
        }
        ++applicable;
        ASSERT_TRUE(std::isfinite(a.TopDeflection) && std::isfinite(a.MaxMoment)) << k;
        const TSoilSpringNode& toe = a.Nodes.back();
        ASSERT_LT(std::fabs(toe.Shear), 1e-5L * std::fabs(a.MaxShear)) << k;
        ASSERT_LT(std::fabs(toe.Moment), 1e-5L * std::fabs(a.MaxMoment)) << k;
    }
    EXPECT_GT(applicable, 200);
}
