// The window reads its inputs through the engine's input rules: each rule names a box of the
// same tag, caption and unit, and opening a project in the window leaves exactly the project
// that the rules make of it.
#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>

#include "engine/InputRules.h"
#include "engine/ProjectJson.h"
#include "form/MainForm.h"
#include "support/TestWalls.h"

using namespace tw;
using namespace tw::form;

namespace {

std::string Saved(const TTWData& p)
{
    std::ostringstream out(std::ios::binary);
    p.SaveToStream(out);
    return out.str();
}

TTWData Stored(bool si, const std::function<void(TTWData&)>& edit)
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(si), p);
    if (edit)
        edit(p);
    p.LoadCatalogues();
    return p;
}

} // namespace

TEST(FormInputRules, EachRuleReadsTheBoxOfItsTagCaptionAndUnit)
{
    for (const TInputRule& rule : InputRules()) {
        const TBoxDef& box = BoxDef(RuleBox(rule));
        const bool point = rule.tag == Tag::PressurePointX || rule.tag == Tag::PressurePointW;
        for (const bool si : {false, true}) {
            // The pressure tables carry their units in the column heads ("x, ft").
            const std::string unit =
                point ? std::string(PointColumnHead(rule.tag == Tag::PressurePointW, si)).substr(3)
                      : std::string(UnitLabel(box.unit, si));
            EXPECT_EQ(std::make_tuple(box.tag, std::string(box.caption), unit),
                      std::make_tuple(rule.tag, std::string(rule.caption),
                                      std::string(si ? rule.unitSI : rule.unitEnglish)))
                << rule.input;
        }
    }
}

TEST(FormInputRules, OpeningAProjectAppliesTheRulesOfTheEngine)
{
    const struct
    {
        const char* what;
        bool si;
        std::function<void(TTWData&)> edit;
    } walls[] = {
        {"English example", false, {}},
        {"SI example", true, {}},
        {"secant piles 10 ft apart", false,
         [](TTWData& p) {
             p.PileType = TPileType::ptSecantPile;
             p.PileSpacing = 10;
         }},
        {"secant piles in SI, too close", true,
         [](TTWData& p) {
             p.PileType = TPileType::ptSecantPile;
             p.PileSpacing = 0.5L;
         }},
        {"tangent piles", false,
         [](TTWData& p) {
             p.PileType = TPileType::ptTangentPile;
             p.PileWidth = 3;
         }},
        {"frictions and slope beyond the friction angle", false,
         [](TTWData& p) {
             p.BackfillDelta = 30;
             p.BackfillSlope = 40;
             p.PassiveDelta = -20;
             p.PassiveSlope = 5;
         }},
        {"too high, with a strip beyond it", false,
         [](TTWData& p) {
             p.ShoredHeight = 50;
             p.StripLoadOn = true;
             p.StripPressure = 500;
             p.StripSetback = 40;
             p.StripDepth = -2;
         }},
        {"seismic arm below the pile", false,
         [](TTWData& p) {
             p.SeismicLoadOn = true;
             p.SeismicThrust = 800;
             p.SeismicArm = 99;
         }},
        {"gross pressure, equivalent fluids out of range", false,
         [](TTWData& p) {
             p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
             p.SoilMethod = TSoilMethod::smEquivalentFluid;
             p.ActiveEFP = 10;
             p.Active2EFP = 30;
             p.PassiveEFP = 2000;
             p.MaxPassivePressure = 5000;
             p.BackfillSlope = 60;
         }},
        {"net pressure, passive safety factor too small", false,
         [](TTWData& p) { p.PassiveSafetyFactor = 1.1L; }},
        {"a drilled sheet pile", false, [](TTWData& p) { p.PileType = TPileType::ptSheetPile; }},
        {"a spiral cage with too few bars and too much cover", false,
         [](TTWData& p) {
             p.Reinforcement = TReinforcement::rfRebarCage;
             p.TieType = TTieType::ttSpiral;
             p.BarCount = 5;
             p.ClearCover = 20;
         }},
        {"user-defined points out of order", false,
         [](TTWData& p) {
             p.AnalysisMethod = TAnalysisMethod::amUserDefined;
             p.LoadPoints[1] = {5, 0.2L};
             p.LoadPoints[2] = {1, 0.3L};
             p.PassivePoints[1] = {40, -1};
             p.PassivePoints[2] = {42, -2};
             p.IgnorePassiveHeight = 30;
         }},
    };
    for (const auto& wall : walls) {
        TTWData opened = Stored(wall.si, wall.edit);
        TMainForm form(opened);
        (void)form.AfterOpen();

        TTWData ruled = Stored(wall.si, wall.edit);
        const bool changed = !ApplyInputRulesOnOpen(ruled).empty();
        // Choosing the section in the window also starts the user-defined section from it.
        ruled.SelectSection(ruled.SelectedSectionIndex());
        try {
            ruled.Analyze();
        } catch (const std::exception&) {
        }
        EXPECT_EQ(changed, static_cast<bool>(wall.edit)) << wall.what;
        EXPECT_EQ(Saved(ruled), Saved(opened)) << wall.what;
    }
}
