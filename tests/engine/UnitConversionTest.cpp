#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "engine/ProjectJson.h"
#include "engine/UnitConversion.h"
#include "support/TestWalls.h"

using namespace tw;
using Json = nlohmann::json;

namespace {

TTWData Example(bool si)
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(si), p);
    p.LoadCatalogues();
    return p;
}

// Every number of the two JSON documents within the relative tolerance, everything else equal.
void ExpectClose(const Json& a, const Json& b, double tolerance, const std::string& path = "")
{
    if (a.is_number() && b.is_number()) {
        const double x = a.get<double>(), y = b.get<double>();
        EXPECT_LE(std::fabs(x - y), tolerance * std::max(std::fabs(x), std::fabs(y)) + 1e-300)
            << path << ": " << x << " against " << y;
    } else if (a.is_object() && b.is_object()) {
        for (auto it = a.begin(); it != a.end(); ++it) {
            ASSERT_TRUE(b.contains(it.key())) << path << "/" << it.key();
            ExpectClose(it.value(), b[it.key()], tolerance, path + "/" + it.key());
        }
    } else if (a.is_array() && b.is_array()) {
        ASSERT_EQ(a.size(), b.size()) << path;
        for (std::size_t i = 0; i < a.size(); ++i)
            ExpectClose(a[i], b[i], tolerance, path + "/" + std::to_string(i));
    } else {
        EXPECT_EQ(a, b) << path;
    }
}

} // namespace

TEST(UnitConversion, BothWaysGiveBackEveryValue)
{
    for (bool si : {false, true}) {
        TTWData p = Example(si);
        p.UserSection = p.GetSection();
        p.StripLoadOn = true;
        p.StripPressure = si ? 10 : 200;
        p.StripWidth = si ? 1.5 : 5;
        const Json before = Json::parse(ProjectToJson(p));
        ConvertProjectUnits(p, si ? TUnitSystem::usEnglish : TUnitSystem::usSI);
        EXPECT_EQ(p.Units, si ? TUnitSystem::usEnglish : TUnitSystem::usSI);
        ConvertProjectUnits(p, si ? TUnitSystem::usSI : TUnitSystem::usEnglish);
        ExpectClose(before, Json::parse(ProjectToJson(p)), 1e-9);
    }
}

TEST(UnitConversion, TheSameWallInTheOtherUnits)
{
    // Both examples converted: the embedment, the pile length and the moments agree to 0.1 %
    // (the display shows 3 to 4 digits). The shear and the deflection cannot agree as closely:
    // the analysis caps the passive pressure at 10 ft (English) or 3.5 m (SI, 11.5 ft) times
    // the passive pressure gradient, and takes the pier's concrete modulus as 57000 sqrt(f'c)
    // psi in English units but 4700 sqrt(f'c) MPa in SI (0.7 % apart); both are choices of the
    // method, per unit system.
    using namespace si_factor;
    for (bool fromSI : {false, true}) {
        TTWData original = Example(fromSI);
        original.Analyze();
        TTWData converted = Example(fromSI);
        EXPECT_TRUE(
            ConvertProjectUnits(converted, fromSI ? TUnitSystem::usEnglish : TUnitSystem::usSI)
                .empty());
        converted.Analyze();
        const auto toSI = [&](long double english, long double si, long double factor) {
            return fromSI ? std::fabs(english * factor - si) <= 1e-3L * std::fabs(si)
                          : std::fabs(english * factor - si) <= 1e-3L * std::fabs(english * factor);
        };
        const TTWData& e = fromSI ? converted : original;
        const TTWData& m = fromSI ? original : converted;
        EXPECT_TRUE(toSI(e.EmbedmentDepth, m.EmbedmentDepth, kFoot)) << fromSI;
        EXPECT_TRUE(toSI(e.TotalPileLength, m.TotalPileLength, kFoot)) << fromSI;
        EXPECT_TRUE(toSI(e.MaxMomentBelow, m.MaxMomentBelow, kKipFoot)) << fromSI;
        EXPECT_TRUE(toSI(e.MaxMomentAbove, m.MaxMomentAbove, kKipFoot)) << fromSI;
        EXPECT_NEAR(static_cast<double>(e.TopDeflection * kInch / m.TopDeflection), 1, 0.01);
    }
    TTWData si = Example(false);
    ConvertProjectUnits(si, TUnitSystem::usSI);
    EXPECT_DOUBLE_EQ(static_cast<double>(si.ShoredHeight), 15 * 0.3048);
    EXPECT_EQ(si.GetSection().Name, "W460X128"); // the SI name of W18X86
}

TEST(UnitConversion, SubgradeModulusInPciAndKilonewtonsPerCubicMetre)
{
    // 1 lb/in^3 = 4.4482216152605 N / (0.0254 m)^3 = 271.4471375263 kN/m^3; 0 (the table's
    // value) stays 0, both ways.
    struct Case
    {
        long double pci, si;
    };
    const Case cases[] = {{1, 271.4471375263L}, {90, 24430.242377367L}, {0, 0}};
    for (const Case& c : cases) {
        TTWData english = Example(false);
        english.SubgradeModulus = c.pci;
        ConvertProjectUnits(english, TUnitSystem::usSI);
        TTWData si = Example(true);
        si.SubgradeModulus = c.si;
        ConvertProjectUnits(si, TUnitSystem::usEnglish);
        EXPECT_NEAR(static_cast<double>(english.SubgradeModulus), static_cast<double>(c.si),
                    1e-12 * static_cast<double>(c.si))
            << c.pci;
        EXPECT_NEAR(static_cast<double>(si.SubgradeModulus), static_cast<double>(c.pci),
                    1e-12 * static_cast<double>(c.pci))
            << c.pci;
    }
}

TEST(UnitConversion, TheUserSheetPileMatchesTheSITable)
{
    // PZ 22 from the English sheet pile table as a user-defined section, converted: the SI
    // table's PZ 22 (per metre of wall).
    TTWData p = Example(false);
    p.PileType = TPileType::ptSheetPile;
    p.LoadCatalogues();
    const int row = FindByName(p.SteelShapes(), "PZ 22");
    ASSERT_GE(row, 0);
    p.UserSection = p.SteelShapes()[static_cast<std::size_t>(row)];
    ConvertProjectUnits(p, TUnitSystem::usSI);
    const TSteelShape& metric = p.SteelShapes()[static_cast<std::size_t>(row)];
    EXPECT_NEAR(static_cast<double>(p.UserSection.Ix / metric.Ix), 1, 0.01);
    EXPECT_NEAR(static_cast<double>(p.UserSection.Sx / metric.Sx), 1, 0.01);
    EXPECT_NEAR(static_cast<double>(p.UserSection.d / metric.d), 1, 0.01);
}

TEST(UnitConversion, ConvertedValuesTheRulesChangeAreTold)
{
    // Converted exactly, a value may lie beyond the limits of the other unit system; the
    // rules change it as the converted project is opened, and the conversion tells of it with
    // the converted value and the one used.
    struct Case
    {
        const char* wall;
        void (*edit)(TTWData&);
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"30 ft wall",
         [](TTWData& p) { p.ShoredHeight = 30; },
         {"Shored Height, H 9.14 m changed to 9.00 m (between the limits 0.80 and 9.00)"}},
        {"secant piles at 1.52 ft",
         [](TTWData& p) {
             p.SetPileType(TPileType::ptSecantPile);
             p.PileWidth = 1;
             p.PileSpacing = 1.52L;
             p.GuardrailSpacing = p.PileSpacing;
         },
         {"Pile Spacing, S 0.46 m changed to 0.50 m (between the limits 0.50 and 4.50)",
          "Max. Spacing of Guardrail 0.463 m changed to 0.500 m (the pile spacing or twice it)"}},
        {"the stiffest subgrade",
         [](TTWData& p) { p.SubgradeModulus = 10000; },
         {"Subgrade Modulus, nh or k1 2714471 kN/m^3 changed to 2700000 kN/m^3 (between the "
          "limits 0 and 2700000)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wall);
        TTWData p = Example(false);
        c.edit(p);
        std::vector<std::string> notes;
        for (const TAdjustedInput& a : ConvertProjectUnits(p, TUnitSystem::usSI).adjusted)
            notes.push_back(AdjustmentNote(a));
        EXPECT_EQ(notes, c.notes);
    }
}
