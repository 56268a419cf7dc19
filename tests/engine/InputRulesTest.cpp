// The input rules applied to stored projects: what they change and how they say it.
#include "engine/InputRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "support/TestWalls.h"

namespace tw {
namespace {

std::vector<std::string> NotesOf(bool si, const std::function<void(TTWData&)>& edit)
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(si), p);
    if (edit)
        edit(p);
    p.LoadCatalogues();
    std::vector<std::string> notes;
    for (const TAdjustedInput& a : ApplyInputRules(p))
        notes.push_back(AdjustmentNote(a));
    return notes;
}

TEST(InputRules, EachChangeIsReportedWithItsRule)
{
    const auto secant = [](long double width, long double spacing) {
        return [=](TTWData& p) {
            p.PileType = TPileType::ptSecantPile;
            p.PileWidth = width;
            p.PileSpacing = spacing;
        };
    };
    const struct
    {
        const char* what;
        bool si;
        std::function<void(TTWData&)> edit;
        std::vector<std::string> notes;
    } cases[] = {
        {"English example", false, {}, {}},
        {"SI example", true, {}, {}},
        {"secant spacing above its range",
         false,
         secant(2.5L, 10),
         {"Pile Spacing, S 10.00 ft changed to 4.17 ft (secant piles: 1.33 to 1.67 times the "
          "pile diameter)",
          "Max. Spacing of Guardrail 8.00 ft changed to 4.17 ft (the pile spacing or twice it)"}},
        {"secant spacing below its range",
         false,
         secant(3, 2),
         {"Pile Spacing, S 2.00 ft changed to 3.99 ft (secant piles: 1.33 to 1.67 times the "
          "pile diameter)",
          "Max. Spacing of Guardrail 8.00 ft changed to 3.99 ft (the pile spacing or twice it)"}},
        {"soil-pile friction above 0.75 phi",
         false,
         [](TTWData& p) { p.BackfillDelta = 30; },
         {"Soil-Pile Friction Angle 30.0 degrees changed to 24.0 degrees (at most 0.75 times the "
          "friction angle)"}},
        {"a value above its table limit",
         true,
         [](TTWData& p) { p.ShoredHeight = 12; },
         {"Shored Height, H 12.00 m changed to 9.00 m (between the limits 0.80 and 9.00)"}},
        {"a value that is not a number",
         false,
         [](TTWData& p) { p.Cohesion = std::numeric_limits<long double>::quiet_NaN(); },
         {"Cohesion N.A. psf changed to 0 psf (not a number, read as 0)"}},
        {"a difference below the shown decimals",
         false,
         [](TTWData& p) { p.ArchingFactor = 1.04L; },
         {"Arching Factor 1.04 changed to 1.00 (between the limits 0.6 and 1.0)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NotesOf(c.si, c.edit), c.notes) << c.what;
}

TEST(InputRules, ASheetPileIsDrivenAndSpacedPerUnitLength)
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(false), p);
    p.PileType = TPileType::ptSheetPile;
    p.LoadCatalogues();
    std::vector<std::string> names;
    for (const TAdjustedInput& a : ApplyInputRules(p))
        names.push_back(a.name + " " + a.givenText + " -> " + a.usedText);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "InstallMethod Drilled -> Driven", "PileSpacing 8.00 ft -> 1.00 ft",
                         "WedgeMultiplier 2.00 -> 1.00", "GuardrailSpacing 8.00 ft -> 1.00 ft"}));
}

} // namespace
} // namespace tw
