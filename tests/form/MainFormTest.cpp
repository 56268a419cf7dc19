// The main window's behaviour without widgets: the recalculation with its rules and bounds,
// the display pass (visibility, read-only state, captions, unit labels), the unit switch, the
// verdict marks and the sections.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/Ansi.h"
#include "engine/ProjectJson.h"
#include "form/MainForm.h"
#include "form/ResultRows.h"
#include "form/UserSheetForm.h"

using namespace tw;
using namespace tw::form;

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MainForm : public ::testing::Test
{
protected:
    void SetUp() override { Open("ENGLISH UNITS EXAMPLE"); }

    void Open(const std::string& example)
    {
        ProjectFromJson(
            ReadText(std::string(TW_SOURCE_DIR) + "/resources/examples/" + example + ".json"),
            project);
        const TCommitResult r = form.AfterOpen();
        ASSERT_TRUE(r.ok()) << *r.error;
    }

    // Types a text into a box and leaves it.
    TCommitResult Type(Box b, const std::string& text)
    {
        form.EditBox(b, text);
        return form.Commit();
    }

    TCommitResult Choose(List l, const std::string& item)
    {
        const auto& items = form.ListState(l).items;
        const auto it = std::find(items.begin(), items.end(), item);
        EXPECT_NE(it, items.end()) << item;
        return form.ChooseListItem(l, static_cast<int>(it - items.begin()));
    }

    const std::string& Text(Box b) const { return form.BoxState(b).text; }
    bool Visible(Box b) const { return form.BoxState(b).visible; }
    bool ReadOnly(Box b) const { return form.BoxState(b).readOnly; }

    TTWData project;
    TMainForm form{project};
};

} // namespace

TEST_F(MainForm, OpenShowsTheProjectAndItsResults)
{
    EXPECT_EQ(Text(Box::ShoredHeight), "15.00");
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).unit, "ft");
    EXPECT_EQ(*form.ListState(List::SectionSize).Selected(), "W18X86");
    EXPECT_EQ(Text(Box::ResKa), "0.307");
    // W18X86: d 18.4 in, bf 11.1 in, diagonal 21.49 in, which fits the 30 in hole.
    EXPECT_EQ(Text(Box::BeamDiagonal), "21.49");
    EXPECT_EQ(form.BoxState(Box::BeamDiagonal).unit, "in");
    EXPECT_TRUE(form.VerdictState(Verdict::HoleFit).visible);
    EXPECT_TRUE(form.VerdictState(Verdict::HoleFit).pass);
    EXPECT_FALSE(form.Modified());
    // General Data and the first shown result section are expanded, nothing else.
    EXPECT_TRUE(form.SectionState(Section::GeneralData).expanded);
    EXPECT_TRUE(form.SectionState(Section::Coulomb).expanded);
    int expanded = 0;
    for (int s = 0; s < kSectionCount; ++s)
        expanded += form.SectionState(static_cast<Section>(s)).expanded;
    EXPECT_EQ(expanded, 2);
}

TEST_F(MainForm, CommitRecalculatesAndRewritesBoundedBoxes)
{
    const std::string before = Text(Box::ResMaxMomentBelow);
    form.EditBox(Box::ShoredHeight, "12");
    EXPECT_TRUE(form.Modified());
    EXPECT_EQ(Text(Box::ResMaxMomentBelow), before); // nothing happens before the commit
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_EQ(project.ShoredHeight, 12);
    EXPECT_NE(Text(Box::ResMaxMomentBelow), before);

    // Letters read as 0, bounded to the box's minimum and shown so.
    ASSERT_TRUE(Type(Box::ShoredHeight, "abc").ok());
    EXPECT_EQ(project.ShoredHeight, 3);
    EXPECT_EQ(Text(Box::ShoredHeight), "3.00");
    // A thousands separator is ignored: 3,500 psf of surcharge is within its limits.
    ASSERT_TRUE(Type(Box::Surcharge, "3,500").ok());
    EXPECT_EQ(project.Surcharge, 3500);
}

TEST_F(MainForm, DependentBounds)
{
    // Soil-pile friction at most three quarters of the soil friction angle.
    ASSERT_TRUE(Type(Box::BackfillDelta, "30").ok());
    EXPECT_EQ(project.BackfillDelta, 24);
    EXPECT_EQ(Text(Box::BackfillDelta), "24.0");
    // The slope at most the friction angle.
    ASSERT_TRUE(Type(Box::BackfillSlope, "40").ok());
    EXPECT_EQ(project.BackfillSlope, 32);
    // (Level again, so that the steepest passive slope below still leaves Kp above Ka.)
    ASSERT_TRUE(Type(Box::BackfillSlope, "0").ok());
    // Passive friction and slope at least -phi/2 and -phi.
    ASSERT_TRUE(Type(Box::PassiveDelta, "-20").ok());
    EXPECT_EQ(project.PassiveDelta, -16);
    ASSERT_TRUE(Type(Box::PassiveSlope, "-40").ok());
    EXPECT_EQ(project.PassiveSlope, -32);
    // The explicit bound covers one side only; the other keeps the box's own limit, so a
    // passive slope cannot turn positive nor a backfill slope negative.
    ASSERT_TRUE(Type(Box::PassiveSlope, "10").ok());
    EXPECT_EQ(project.PassiveSlope, 0);
    EXPECT_EQ(Text(Box::PassiveSlope), "0.0");
    ASSERT_TRUE(Type(Box::BackfillSlope, "-10").ok());
    EXPECT_EQ(project.BackfillSlope, 0);
    // F.S. on Passive between 1.33 and 2.0 under Net Pressure.
    ASSERT_TRUE(Type(Box::PassiveFS, "1.0").ok());
    EXPECT_NEAR(static_cast<double>(project.PassiveSafetyFactor), 1.33, 1e-12);
    EXPECT_EQ(Text(Box::PassiveFS), "1.33");
    // The strip setback at most the shored height.
    ASSERT_TRUE(form.SetChecked(Check::StripLoad, true).ok());
    ASSERT_TRUE(Type(Box::StripSetback, "40").ok());
    EXPECT_EQ(project.StripSetback, 15);
    // The seismic arm at most the pile length of the previous analysis.
    const long double length = project.TotalPileLength;
    ASSERT_TRUE(Type(Box::SeismicArm, "99").ok());
    EXPECT_EQ(project.SeismicArm, static_cast<long double>(static_cast<double>(length)));
}

TEST_F(MainForm, SpacingFollowsThePileType)
{
    ASSERT_TRUE(Choose(List::PileType, "Secant Pile").ok());
    ASSERT_TRUE(Type(Box::PileWidth, "3").ok());
    ASSERT_TRUE(Type(Box::PileSpacing, "6").ok());
    EXPECT_NEAR(static_cast<double>(project.PileSpacing), 5.01, 1e-12);
    EXPECT_EQ(Text(Box::PileSpacing), "5.01");
    ASSERT_TRUE(Type(Box::PileSpacing, "3").ok());
    EXPECT_NEAR(static_cast<double>(project.PileSpacing), 3.99, 1e-12);
    EXPECT_EQ(Text(Box::PileSpacing), "3.99");

    // A tangent pile's spacing is twice the B read in the same recalculation.
    ASSERT_TRUE(Choose(List::PileType, "Tangent Pile").ok());
    EXPECT_TRUE(ReadOnly(Box::PileSpacing));
    form.EditBox(Box::PileWidth, "2.5");
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_EQ(project.PileSpacing, 5);
    EXPECT_EQ(Text(Box::PileSpacing), "5.00");
}

TEST_F(MainForm, SheetPileSelection)
{
    ASSERT_TRUE(Choose(List::Reinforcement, "O-Pipe").ok());
    ASSERT_EQ(project.Reinforcement, TReinforcement::rfPipe);
    EXPECT_TRUE(form.CheckState(Check::PipeFilled).visible);

    ASSERT_TRUE(Choose(List::PileType, "Sheet Pile").ok());
    EXPECT_EQ(project.InstallMethod, TInstallMethod::imDriven);
    EXPECT_EQ(project.PileSpacing, 1);
    EXPECT_EQ(project.WedgeMultiplier, 1);
    EXPECT_EQ(project.Reinforcement, TReinforcement::rfIBeam);
    EXPECT_FALSE(form.ListState(List::Reinforcement).visible);
    EXPECT_TRUE(Visible(Box::SheetPileDepth));
    EXPECT_FALSE(Visible(Box::ConcreteStrength));
    EXPECT_FALSE(form.ListState(List::SteelLibrary).visible);
    EXPECT_TRUE(form.ListState(List::SheetLibrary).visible);
    // The spacing shows 1.00 though the box's minimum is 1.5, read-only.
    EXPECT_EQ(Text(Box::PileSpacing), "1.00");
    EXPECT_TRUE(ReadOnly(Box::PileSpacing));
    EXPECT_TRUE(ReadOnly(Box::PileWidth));
    EXPECT_TRUE(ReadOnly(Box::WedgeMultiplier));
    EXPECT_EQ(form.BoxState(Box::PileWidth).caption, "Sheet Pile Wdith, B");
    EXPECT_EQ(form.ListState(List::SectionSize).caption, "Sheet Size");
    EXPECT_EQ(form.BoxState(Box::ResTotalLength).caption, "Total Sheet Pile Length");
    // The section list holds the sheet piles and "User Defined" last.
    const auto& items = form.ListState(List::SectionSize).items;
    EXPECT_EQ(items.back(), "User Defined");
    EXPECT_EQ(items.size(), project.SteelShapes().size() + 1);
    // Results: only the section modulus check and the deflection verdict.
    EXPECT_TRUE(form.SectionState(Section::SectionCheck).visible);
    EXPECT_FALSE(form.SectionState(Section::Checks).visible);
    EXPECT_FALSE(Visible(Box::ResLr));
    EXPECT_TRUE(form.VerdictState(Verdict::SectionModulus).visible);
    EXPECT_TRUE(form.VerdictState(Verdict::MaxDeflection).visible);
    EXPECT_FALSE(form.VerdictState(Verdict::HoleFit).visible);
    EXPECT_FALSE(form.VerdictState(Verdict::Moment).visible);
    EXPECT_FALSE(form.SectionState(Section::LaggingInput).visible);

    // "User Defined" selects the user section and shows the button beside the list.
    EXPECT_FALSE(form.UserSheetButtonVisible());
    ASSERT_TRUE(form.ChooseListItem(List::SectionSize, static_cast<int>(items.size()) - 1).ok());
    EXPECT_EQ(project.SheetIndex, -1);
    EXPECT_TRUE(form.UserSheetButtonVisible());
    // The sheet pile depth is the profile height of the section, in ft.
    EXPECT_EQ(Text(Box::SheetPileDepth), FormatFixed(project.UserSection.bf / 12, 2, 10, "."));
}

TEST_F(MainForm, SheetPileProjectWithTheUserSection)
{
    project.SetPileType(TPileType::ptSheetPile);
    project.InstallMethod = TInstallMethod::imDriven;
    project.SelectSection(3);
    project.SelectSection(-1);
    ASSERT_TRUE(form.AfterOpen().ok());
    const TListState& list = form.ListState(List::SectionSize);
    EXPECT_EQ(*list.Selected(), "User Defined");
    EXPECT_TRUE(form.UserSheetButtonVisible());
}

TEST_F(MainForm, RebarCage)
{
    ASSERT_TRUE(Choose(List::Reinforcement, "Rebar Cage").ok());
    EXPECT_TRUE(form.RebarCagePanelVisible());
    EXPECT_TRUE(form.SectionState(Section::RebarChecks).visible);
    EXPECT_FALSE(form.SectionState(Section::Checks).visible);
    EXPECT_TRUE(form.VerdictState(Verdict::AxialPu).visible);
    // Fy follows the member: 50 for steel sections, 60 for bars.
    EXPECT_EQ(project.YieldStrength, 60);
    // The stored bar sizes survive the refill of the bar lists.
    EXPECT_EQ(*form.ListState(List::VerticalBar).Selected(), "#8");
    EXPECT_EQ(*form.ListState(List::TieBar).Selected(), "#4");
    EXPECT_EQ(project.VerticalBarSize, 8);

    // Spirals need six bars; the count is bounded first, then rounded half to even.
    ASSERT_TRUE(Choose(List::TieType, "Spiral").ok());
    ASSERT_TRUE(Type(Box::BarCount, "5").ok());
    EXPECT_EQ(project.BarCount, 6);
    EXPECT_EQ(Text(Box::BarCount), "6");
    ASSERT_TRUE(Choose(List::TieType, "Tie").ok());
    ASSERT_TRUE(Type(Box::BarCount, "5.6").ok());
    EXPECT_EQ(project.BarCount, 6);
    ASSERT_TRUE(Type(Box::BarCount, "6.5").ok());
    EXPECT_EQ(project.BarCount, 6);
    ASSERT_TRUE(Type(Box::BarCount, "7.5").ok());
    EXPECT_EQ(project.BarCount, 8);
    // An explicit bound replaces the box's limits: 200 bars stay 200, and the analysis
    // refuses them with the reason (they cannot stand round a 2.5 ft pier).
    const TCommitResult crowded = Type(Box::BarCount, "200");
    EXPECT_EQ(project.BarCount, 200);
    ASSERT_FALSE(crowded.ok());
    EXPECT_NE(crowded.error->find("do not fit round the pier"), std::string::npos);
    ASSERT_TRUE(Type(Box::BarCount, "8").ok());
    // Clear cover at least 2 in and at most a third of the pier (2.5 ft: 10 in).
    ASSERT_TRUE(Type(Box::ClearCover, "1").ok());
    EXPECT_EQ(project.ClearCover, 2);
    EXPECT_EQ(Text(Box::ClearCover), "2.0");
    ASSERT_TRUE(Type(Box::ClearCover, "12").ok());
    EXPECT_EQ(project.ClearCover, 10);

    // The override's hint shows on entering it and hides on the commit.
    form.EnterBox(Box::TieSpacingOverride);
    EXPECT_EQ(form.HintText(), kOverrideHint);
    EXPECT_EQ(form.HintBox(), Box::TieSpacingOverride);
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_TRUE(form.HintText().empty());

    // Another bar standard lists other bars: the first is chosen.
    ASSERT_TRUE(Choose(List::RebarStandard, "Canadian").ok());
    EXPECT_EQ(form.ListState(List::VerticalBar).index, 0);
    EXPECT_EQ(*form.ListState(List::VerticalBar).Selected(), "10M");
    EXPECT_EQ(project.VerticalBarSize, 10);

    // Back to a steel section: Fy 60 becomes 50.
    ASSERT_TRUE(Choose(List::Reinforcement, "I-Beam").ok());
    EXPECT_EQ(project.YieldStrength, 50);
}

TEST_F(MainForm, DrivenPilesOfferNoRebarCage)
{
    ASSERT_TRUE(Choose(List::Reinforcement, "Rebar Cage").ok());
    ASSERT_TRUE(Choose(List::InstallMethod, "Driven").ok());
    EXPECT_EQ(form.ListState(List::Reinforcement).items.size(), 2u);
    EXPECT_EQ(project.Reinforcement, TReinforcement::rfIBeam);
    // A driven pile's B is the flange width of its section, shown read-only.
    EXPECT_TRUE(ReadOnly(Box::PileWidth));
    EXPECT_EQ(Text(Box::PileWidth), FormatFixed(project.GetSection().bf / 12, 2, 10, "."));
    ASSERT_TRUE(Choose(List::InstallMethod, "Drilled").ok());
    EXPECT_EQ(form.ListState(List::Reinforcement).items.size(), 3u);
}

// A sheet pile is driven: "Drilled" cannot be chosen while the pile type is sheet pile.
TEST_F(MainForm, SheetPilesOfferOnlyDriven)
{
    const int drilled = static_cast<int>(TInstallMethod::imDrilled);
    ASSERT_TRUE(Choose(List::PileType, "Sheet Pile").ok());
    EXPECT_FALSE(form.ListState(List::InstallMethod).ItemEnabled(drilled));
    ASSERT_TRUE(Choose(List::PileType, "Secant Pile").ok());
    EXPECT_TRUE(form.ListState(List::InstallMethod).ItemEnabled(drilled));
}

TEST_F(MainForm, MethodsShowTheirInputs)
{
    // Gross Pressure: backfill soil 2 below the base, on both sides.
    ASSERT_TRUE(Type(Box::Backfill2Phi, "28").ok()); // hidden under Net: not read
    EXPECT_EQ(project.Backfill2Phi, 32);
    ASSERT_TRUE(Choose(List::AnalysisMethod, "Gross Pressure").ok());
    EXPECT_EQ(form.SectionState(Section::BackfillSoils).caption, "Backfill Soils 1");
    EXPECT_TRUE(form.SectionState(Section::BackfillSoils2).visible);
    EXPECT_TRUE(ReadOnly(Box::PassivePhi));
    EXPECT_TRUE(Visible(Box::PassiveFS));
    EXPECT_TRUE(ReadOnly(Box::PassiveFS));
    EXPECT_EQ(Text(Box::PassiveFS), "1.00");
    ASSERT_TRUE(Type(Box::Backfill2Phi, "28").ok());
    EXPECT_EQ(Text(Box::PassivePhi), "28.0"); // the passive side shows soil 2

    // Back to Net: the passive soil's own values return.
    ASSERT_TRUE(Choose(List::AnalysisMethod, "Net Pressure").ok());
    EXPECT_EQ(Text(Box::PassivePhi), "32.0");
    EXPECT_EQ(Text(Box::PassiveFS), "1.50");
    EXPECT_EQ(Text(Box::PassiveUnitWeight), "120.0");
    EXPECT_FALSE(ReadOnly(Box::PassivePhi));
    EXPECT_FALSE(form.SectionState(Section::BackfillSoils2).visible);

    // Equivalent fluid under Net Pressure: no safety factor (1.0 whatever the box holds), the
    // passive choice shown.
    ASSERT_TRUE(Choose(List::SoilMethod, "Equivalent Fluid Pressure").ok());
    EXPECT_FALSE(Visible(Box::PassiveFS));
    EXPECT_EQ(project.PassiveSafetyFactor, 1);
    EXPECT_TRUE(form.PassiveChoiceVisible());
    EXPECT_TRUE(Visible(Box::ActiveEFP));
    EXPECT_FALSE(Visible(Box::BackfillPhi));
    EXPECT_FALSE(form.SectionState(Section::Coulomb).visible);
    ASSERT_TRUE(form.SetChecked(Check::AllowablePassive, true).ok());
    EXPECT_TRUE(project.AllowablePassive);

    // User Defined: the typed diagram, the "Ignore Passive" row and the notice.
    ASSERT_TRUE(Choose(List::AnalysisMethod, "User Defined").ok());
    EXPECT_FALSE(form.SectionState(Section::BackfillSoils).visible);
    EXPECT_FALSE(form.SectionState(Section::PassiveSoils).visible);
    EXPECT_FALSE(form.SectionState(Section::PressureResult).visible);
    EXPECT_TRUE(form.SectionState(Section::PressureInput).visible);
    EXPECT_TRUE(Visible(Box::IgnorePassiveUD));
    EXPECT_TRUE(form.LabelState(Label::ImportantNotice).visible);
    EXPECT_TRUE(ReadOnly(Box::InLoadX1));
    EXPECT_FALSE(ReadOnly(Box::InLoadX2));
}

TEST_F(MainForm, UserDefinedDiagramDepthsAreBounded)
{
    ASSERT_TRUE(Choose(List::AnalysisMethod, "User Defined").ok());
    const long double x4 = project.LoadPoints[3].X;
    ASSERT_TRUE(Type(Box::InLoadX2, "100").ok());
    EXPECT_NEAR(static_cast<double>(project.LoadPoints[1].X), static_cast<double>(x4 - 0.02L),
                1e-9);
    ASSERT_TRUE(Type(Box::InLoadX3, "0").ok());
    // The lower bound X2 + 0.01 applies (zero text reads 0, below it).
    EXPECT_NEAR(static_cast<double>(project.LoadPoints[2].X),
                static_cast<double>(project.LoadPoints[1].X + 0.01L), 1e-9);
    ASSERT_TRUE(Type(Box::InLoadW2, "0.5").ok());
    EXPECT_EQ(project.LoadPoints[1].W, 0.5L);
    EXPECT_EQ(Text(Box::ResLoadW2), Text(Box::InLoadW2));
}

TEST_F(MainForm, LaggingAndGuardrailInputs)
{
    ASSERT_TRUE(Choose(List::LaggingType, "Conc. Lagging").ok());
    EXPECT_TRUE(form.ListState(List::LaggingConcrete).visible);
    EXPECT_EQ(form.ListState(List::LaggingConcrete).unit, "ksi");
    EXPECT_TRUE(form.LabelState(Label::ConcreteLagging).visible);
    EXPECT_FALSE(form.VerdictState(Verdict::LaggingSize).visible);
    EXPECT_NE(form.LabelState(Label::LaggingMaterial).text.find("\xE2\x80\x99"),
              std::string::npos); // f'c with the right single quotation mark, in UTF-8
    ASSERT_TRUE(Choose(List::LaggingType, "None").ok());
    EXPECT_FALSE(Visible(Box::ArchingFactor));
    EXPECT_FALSE(form.ListState(List::LaggingConcrete).visible);
    EXPECT_FALSE(form.SectionState(Section::LaggingResult).visible);
    EXPECT_TRUE(form.SectionState(Section::LaggingInput).visible);

    // Guardrail off: its inputs stay shown but disabled, the results section goes.
    ASSERT_TRUE(form.SetChecked(Check::UseGuardrail, false).ok());
    EXPECT_FALSE(form.SectionState(Section::GuardrailResult).visible);
    EXPECT_TRUE(Visible(Box::GuardrailLength));
    EXPECT_FALSE(form.BoxState(Box::GuardrailLength).enabled);
    EXPECT_FALSE(form.ListState(List::GuardrailShape).enabled);
    EXPECT_TRUE(form.CheckState(Check::UseGuardrail).enabled);
    ASSERT_TRUE(form.SetChecked(Check::UseGuardrail, true).ok());
    EXPECT_TRUE(form.BoxState(Box::GuardrailLength).enabled);

    // The spacing list: S and 2 S; choosing the second doubles the guardrail spacing.
    const auto& spacing = form.ListState(List::GuardrailSpacing);
    ASSERT_EQ(spacing.items.size(), 2u);
    EXPECT_EQ(spacing.items[0], "8.00");
    EXPECT_EQ(spacing.items[1], "16.00");
    ASSERT_TRUE(form.ChooseListItem(List::GuardrailSpacing, 1).ok());
    EXPECT_EQ(project.GuardrailSpacing, 16);
    EXPECT_EQ(form.ListState(List::GuardrailSpacing).index, 1);
}

TEST_F(MainForm, UnitSwitchKeepsNumbersWithinTheNewLimits)
{
    ASSERT_TRUE(Type(Box::ShoredHeight, "20").ok());
    const int row = project.BeamIndex;
    ASSERT_TRUE(form.ChooseListItem(List::Units, 1).ok());
    EXPECT_EQ(project.Units, TUnitSystem::usSI);
    EXPECT_EQ(project.ShoredHeight, 9);
    EXPECT_EQ(Text(Box::ShoredHeight), "9.00");
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).unit, "m");
    EXPECT_EQ(form.BoxState(Box::ResMaxDeflection).unit, "mm");
    EXPECT_EQ(form.SectionState(Section::PressureResult).caption,
              "Pressure Data (ASD) per m Length of Wall");
    EXPECT_EQ(form.ListState(List::LaggingConcrete).items[0], "21");
    // The same catalogue row, now in SI.
    EXPECT_EQ(project.BeamIndex, row);
    EXPECT_EQ(form.ListState(List::SectionSize).index, row);
    EXPECT_EQ(*form.ListState(List::SectionSize).Selected(), AnsiToUtf8(project.GetSection().Name));

    ASSERT_TRUE(form.ChooseListItem(List::Units, 0).ok());
    EXPECT_EQ(project.ShoredHeight, 9);
    EXPECT_EQ(Text(Box::ShoredHeight), "9.00");
}

TEST_F(MainForm, ResultsAndMarks)
{
    // Deflection: 3 decimals in inches, 2 in millimetres.
    const std::string english = Text(Box::ResMaxDeflection);
    ASSERT_EQ(english.size() - english.find('.'), 4u) << english;
    EXPECT_TRUE(form.SectionState(Section::Checks).markVisible);
    EXPECT_TRUE(form.SectionState(Section::Checks).markPass);
    EXPECT_FALSE(form.SectionState(Section::Coulomb).markVisible); // no checked rows

    // A tiny allowable deflection fails the deflection row and the Output Data caption.
    ASSERT_TRUE(Type(Box::AllowTopDeflection, "0.01").ok());
    EXPECT_FALSE(form.VerdictState(Verdict::MaxDeflection).pass);
    EXPECT_TRUE(form.SectionState(Section::OutputData).markVisible);
    EXPECT_FALSE(form.SectionState(Section::OutputData).markPass);
    EXPECT_TRUE(form.SectionState(Section::Checks).markPass);

    ASSERT_TRUE(form.ChooseListItem(List::Units, 1).ok());
    const std::string si = Text(Box::ResMaxDeflection);
    EXPECT_EQ(si.size() - si.find('.'), 3u) << si;
}

TEST_F(MainForm, ComputedResultsAreNotClampedToInputLimits)
{
    // A steep backfill: Ka times the unit weight far above the 200 psf/ft of the input box.
    ASSERT_TRUE(Type(Box::BackfillPhi, "5").ok());
    ASSERT_TRUE(Type(Box::BackfillUnitWeight, "140").ok());
    ASSERT_GT(project.ActiveEFP, 100);
    EXPECT_EQ(Text(Box::ResEFPActive), FormatFixed(project.ActiveEFP, 1, 10, "."));
    ASSERT_TRUE(Type(Box::PassivePhi, "45").ok());
    ASSERT_TRUE(Type(Box::PassiveUnitWeight, "140").ok());
    ASSERT_TRUE(Type(Box::PassiveDelta, "-22.5").ok());
    ASSERT_GT(project.PassiveEFP, 1500);
    EXPECT_EQ(Text(Box::ResEFPPassive), FormatFixed(project.PassiveEFP, 1, 10, "."));
}

TEST_F(MainForm, RoundSectionRows)
{
    ASSERT_TRUE(Choose(List::Reinforcement, "O-Pipe").ok());
    EXPECT_EQ(form.BoxState(Box::ResLr).caption, "Ratio, D/t");
    const std::string cls = form.BoxState(Box::ResLr).unit;
    EXPECT_TRUE(cls == "Compact" || cls == "Noncompact" ||
                cls == "too slender, choose another section")
        << cls;
    EXPECT_EQ(form.BoxState(Box::ResLp).unit, "in^3");
    EXPECT_TRUE(form.VerdictState(Verdict::RoundClass).visible);
    // A very thin pipe under a high Fy is too slender: red text, mark out of view, the
    // caption of Output Data fails.
    const auto& items = form.ListState(List::SectionSize).items;
    int thinnest = -1;
    long double largest = 0;
    for (std::size_t i = 0; i < project.OShapes().size(); ++i) {
        project.SelectSection(static_cast<int>(i));
        if (project.GetSection().k1 > largest) {
            largest = project.GetSection().k1;
            thinnest = static_cast<int>(i);
        }
    }
    ASSERT_GE(thinnest, 0);
    ASSERT_LT(thinnest, static_cast<int>(items.size()));
    ASSERT_TRUE(form.ChooseListItem(List::SectionSize, thinnest).ok());
    ASSERT_TRUE(Type(Box::YieldStrength, "150").ok());
    EXPECT_EQ(form.BoxState(Box::ResLr).unit, "too slender, choose another section");
    EXPECT_TRUE(form.BoxState(Box::ResLr).unitRed);
    EXPECT_TRUE(form.VerdictState(Verdict::RoundClass).outOfView);
    EXPECT_FALSE(form.VerdictState(Verdict::RoundClass).pass);
    EXPECT_FALSE(form.SectionState(Section::OutputData).markPass);

    // Back to an I-beam: the ordinary captions and units return.
    ASSERT_TRUE(Choose(List::Reinforcement, "I-Beam").ok());
    EXPECT_EQ(form.BoxState(Box::ResLr).caption, "Unbraced Length, Lr");
    EXPECT_EQ(form.BoxState(Box::ResLr).unit, "ft");
    EXPECT_FALSE(form.BoxState(Box::ResLr).unitRed);
}

TEST_F(MainForm, AnalysisFailureKeepsThePreviousResults)
{
    const std::string moment = Text(Box::ResMaxMomentBelow);
    // Timber lagging between piers wider than their spacing has no clear span.
    form.EditBox(Box::PileWidth, "6");
    form.EditBox(Box::PileSpacing, "2");
    const TCommitResult r = form.Commit();
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error->find("clear span"), std::string::npos) << *r.error;
    // The inputs read before the failure are in the project; the boxes keep what was typed and
    // the results stay as they were.
    EXPECT_EQ(project.PileWidth, 6);
    EXPECT_EQ(project.PileSpacing, 2);
    EXPECT_EQ(Text(Box::PileWidth), "6");
    EXPECT_EQ(Text(Box::ResMaxMomentBelow), moment);
    // Mending the input recalculates normally.
    ASSERT_TRUE(Type(Box::PileWidth, "1.5").ok());
    EXPECT_NE(Text(Box::ResMaxMomentBelow), moment);
    EXPECT_NE(Text(Box::ResMaxMomentBelow), "N.A.");
}

TEST_F(MainForm, AFailureIsReportedOnceAndMarksTheResultsStale)
{
    EXPECT_FALSE(form.AnalysisFailure());
    EXPECT_FALSE(form.ResultsStale());
    // Equal equivalent fluid pressures on both sides: no embedment depth.
    ASSERT_TRUE(Choose(List::SoilMethod, "Equivalent Fluid Pressure").ok());
    ASSERT_TRUE(Type(Box::PassiveEFP, "90").ok());
    form.EditBox(Box::ActiveEFP, "90");
    TCommitResult r = form.Commit();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.report);
    EXPECT_NE(r.error->find("does not exceed the active pressure"), std::string::npos);
    EXPECT_EQ(form.AnalysisFailure(), r.error);
    EXPECT_TRUE(form.ResultsStale());
    // Every further commit fails the same way (also with other numbers in the message) and
    // is not reported again; the failure and the stale results stay marked.
    EXPECT_FALSE(form.Commit().report);
    r = Type(Box::ActiveEFP, "95");
    ASSERT_FALSE(r.ok());
    EXPECT_FALSE(r.report);
    EXPECT_TRUE(form.ResultsStale());
    // Another failure is news: timber lagging between piers wider than their spacing.
    form.EditBox(Box::PileWidth, "6");
    form.EditBox(Box::PileSpacing, "2");
    r = Type(Box::ActiveEFP, "30");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error->find("clear span"), std::string::npos);
    EXPECT_TRUE(r.report);
    form.EditBox(Box::PileWidth, "2");
    form.EditBox(Box::PileSpacing, "8");
    // Mended: no failure, current results; the same failure later is reported again.
    ASSERT_TRUE(Type(Box::ActiveEFP, "30").ok());
    EXPECT_FALSE(form.AnalysisFailure());
    EXPECT_FALSE(form.ResultsStale());
    EXPECT_TRUE(Type(Box::ActiveEFP, "90").report);
}

TEST_F(MainForm, AFailedDisplayIsNotStaleButEmpty)
{
    // Shown as stored, the built-in defaults fail: the results read "N.A.", nothing is left
    // from an earlier analysis.
    project.NewProject(true);
    const TCommitResult r = form.ShowProject();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.report);
    EXPECT_EQ(Text(Box::ResMaxMomentBelow), "N.A.");
    EXPECT_TRUE(form.AnalysisFailure());
    EXPECT_FALSE(form.ResultsStale());
}

TEST_F(MainForm, UnitSwitchNoteNamesTheInputsTheNewLimitsChangeAndGoesWithUndo)
{
    // The numbers stay as typed, but 15 ft of shored height becomes 9 m, the SI maximum.
    ASSERT_TRUE(Choose(List::Units, "SI").ok());
    ASSERT_EQ(Text(Box::ShoredHeight), "9.00");
    EXPECT_NE(form.Notice().find("Shored Height, H 15.00 m to 9.00 m"), std::string::npos)
        << form.Notice();
    ASSERT_TRUE(form.Undo().ok());
    EXPECT_EQ(form.Notice(), "");
}

TEST_F(MainForm, UnitSwitchNoteComesAgainWhenASwitchChangesInputs)
{
    EXPECT_EQ(form.Notice(), "");
    ASSERT_TRUE(form.ChooseListItem(List::Units, 1).ok());
    EXPECT_NE(form.Notice().find("not converted"), std::string::npos);
    form.DismissNotice();
    // The SI elastic modulus, 175000 MPa at least, is beyond the English limits.
    ASSERT_TRUE(form.ChooseListItem(List::Units, 0).ok());
    EXPECT_NE(form.Notice().find("Elastic Pile Modulus 175000 ksi to 30000 ksi"), std::string::npos)
        << form.Notice();
}

TEST_F(MainForm, ToolTipsExplainAndGiveTheLimitsOfTheUnitSystem)
{
    const std::string english = form.ToolTip(Box::ShoredHeight);
    EXPECT_NE(english.find("excavation base"), std::string::npos) << english;
    EXPECT_NE(english.find("Limits: 3.00 to 30.00 ft"), std::string::npos) << english;
    EXPECT_NE(form.ToolTip(Box::WedgeMultiplier).find("passive wedge"), std::string::npos);
    EXPECT_NE(form.ToolTip(Box::ArchingFactor).find("arching"), std::string::npos);
    ASSERT_TRUE(form.ChooseListItem(List::Units, 1).ok());
    EXPECT_NE(form.ToolTip(Box::ShoredHeight).find("Limits: 0.80 to 9.00 m"), std::string::npos);
    // A box without fixed limits, a read-only box and a result: no limits line.
    EXPECT_EQ(form.ToolTip(Box::WedgeMultiplier).find("Limits"), std::string::npos);
    EXPECT_EQ(form.ToolTip(Box::TotalMoment).find("Limits"), std::string::npos);
    EXPECT_EQ(form.ToolTip(Box::ResKa), "");
    // Every input has its explanation.
    for (int i = 0; i < kBoxCount; ++i) {
        const auto b = static_cast<Box>(i);
        if (!(BoxDef(b).flags & kResult)) {
            EXPECT_FALSE(form.ToolTip(b).empty()) << BoxDef(b).name;
        }
    }
    for (int i = 0; i < kListCount; ++i)
        EXPECT_FALSE(form.ToolTip(static_cast<List>(i)).empty()) << i;
    for (int i = 0; i < kCheckCount; ++i)
        EXPECT_FALSE(form.ToolTip(static_cast<Check>(i)).empty()) << i;
}

TEST_F(MainForm, WedgeMultiplierLimitsDependOnTheUnits)
{
    ASSERT_TRUE(Type(Box::WedgeMultiplier, "5").ok());
    EXPECT_EQ(project.WedgeMultiplier, 3);
    ASSERT_TRUE(form.ChooseListItem(List::Units, 1).ok());
    ASSERT_TRUE(Type(Box::WedgeMultiplier, "5").ok());
    EXPECT_EQ(project.WedgeMultiplier, 5);
}

TEST_F(MainForm, SectionsExpandOneAtATime)
{
    EXPECT_FALSE(form.SectionState(Section::Loads).expanded);
    form.EnterBox(Box::AxialLoad);
    EXPECT_TRUE(form.SectionState(Section::Loads).expanded);
    EXPECT_FALSE(form.SectionState(Section::GeneralData).expanded);
    EXPECT_TRUE(form.SectionState(Section::Coulomb).expanded); // the other column is separate
    form.ToggleSection(Section::OutputData);
    EXPECT_TRUE(form.SectionState(Section::OutputData).expanded);
    EXPECT_FALSE(form.SectionState(Section::Coulomb).expanded);
    form.ToggleSection(Section::OutputData);
    EXPECT_FALSE(form.SectionState(Section::OutputData).expanded);
    // The bar lists do not expand their section on entry.
    form.EnterList(List::VerticalBar);
    EXPECT_FALSE(form.SectionState(Section::StructuralData).expanded);
    form.EnterList(List::SectionSize);
    EXPECT_TRUE(form.SectionState(Section::StructuralData).expanded);
}

TEST_F(MainForm, TitleBlockAndLogo)
{
    form.EditTitle(TitleText::ProjectName, "Caf\xC3\xA9 wall"); // UTF-8 é
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_EQ(project.ProjectName, "Caf\xE9 wall"); // Windows-1252 in the project
    // Something that is not a JPEG never becomes the logo.
    form.SetLogo({1, 2, 3});
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_FALSE(project.HasLogo());
    EXPECT_TRUE(form.Logo().empty());
}

TEST_F(MainForm, NewProjectFromTheBuiltInDefaults)
{
    project.NewProject(true);
    const TCommitResult r = form.AfterNew();
    ASSERT_TRUE(r.ok()) << *r.error;
    EXPECT_FALSE(form.Modified());
    // The values the defaults lack come from the boxes' lower limits.
    EXPECT_EQ(project.ShoredHeight, 3);
    EXPECT_NEAR(static_cast<double>(project.PassiveSafetyFactor), 1.33, 1e-12);
    EXPECT_TRUE(form.Title(TitleText::Organization).empty());
    EXPECT_NE(Text(Box::ResKa), "N.A.");
}

TEST_F(MainForm, ResultsTextListsTheShownRows)
{
    const std::string text = ResultsText(form);
    EXPECT_NE(text.find("== Coulomb Method\n"), std::string::npos) << text;
    EXPECT_NE(text.find("== Checks [PASS]"), std::string::npos) << text;
    EXPECT_NE(text.find("Capacity"), std::string::npos);
    EXPECT_EQ(text.find("Rebar Cage Checks"), std::string::npos);
    EXPECT_EQ(text.find("Section Check"), std::string::npos);
    EXPECT_NE(text.find("Wood Lagging Size"), std::string::npos);
    ASSERT_TRUE(Type(Box::AllowTopDeflection, "0.01").ok());
    EXPECT_NE(ResultsText(form).find("== Output Data [FAIL]"), std::string::npos);
}

TEST_F(MainForm, LoadBlocksFollowTheirCheckBoxes)
{
    EXPECT_FALSE(form.BoxState(Box::StripPressure).enabled);
    EXPECT_FALSE(form.BoxState(Box::SeismicArm).enabled);
    ASSERT_TRUE(form.SetChecked(Check::StripLoad, true).ok());
    EXPECT_TRUE(form.Modified());
    EXPECT_TRUE(project.StripLoadOn);
    for (Box b : {Box::StripPressure, Box::StripSetback, Box::StripWidth, Box::StripDepth,
                  Box::StripMoment})
        EXPECT_TRUE(form.BoxState(b).enabled) << BoxDef(b).name;
    EXPECT_FALSE(form.BoxState(Box::SeismicThrust).enabled);
    // The strip moment enters the total moment at the pile top.
    ASSERT_TRUE(Type(Box::StripPressure, "500").ok());
    ASSERT_TRUE(Type(Box::StripSetback, "3").ok());
    ASSERT_TRUE(Type(Box::StripWidth, "5").ok());
    ASSERT_TRUE(Type(Box::StripDepth, "2").ok());
    EXPECT_NE(project.StripMoment, 0);
    EXPECT_EQ(Text(Box::TotalMoment), FormatFixed(project.TopMoment, 2, 10, "."));
    EXPECT_EQ(form.BoxState(Box::StripMoment).unit, "k-ft/ft");
}

TEST_F(MainForm, LaggingConcreteWithoutSelection)
{
    // A stored strength other than the two list entries shows no selection and acts as the
    // higher strength; reading the list then stores -1, still the higher strength.
    project.LaggingType = TLaggingType::ltConcrete;
    project.LaggingConcrete = 3;
    ASSERT_TRUE(form.AfterOpen().ok());
    EXPECT_EQ(form.ListState(List::LaggingConcrete).index, -1);
    EXPECT_EQ(project.LaggingConcrete, -1);
    EXPECT_NE(form.LabelState(Label::LaggingMaterial).text.find("4.5"), std::string::npos);
    ASSERT_TRUE(form.ChooseListItem(List::LaggingConcrete, 0).ok());
    EXPECT_EQ(project.LaggingConcrete, 0);
    EXPECT_NE(form.LabelState(Label::LaggingMaterial).text.find("= 3 ksi"), std::string::npos);
}

TEST_F(MainForm, TimberAndPlateRows)
{
    EXPECT_TRUE(Visible(Box::ResLagFbAdjusted));
    EXPECT_FALSE(Visible(Box::ResLagSreq));
    EXPECT_TRUE(form.VerdictState(Verdict::LaggingBending).visible);
    EXPECT_EQ(form.LabelState(Label::LaggingSize).text, "3x12 timber");
    ASSERT_TRUE(Choose(List::LaggingType, "Steel Plate").ok());
    EXPECT_FALSE(Visible(Box::ResLagFbAdjusted));
    EXPECT_TRUE(Visible(Box::ResLagSreq));
    EXPECT_FALSE(form.VerdictState(Verdict::LaggingBending).visible);
    EXPECT_TRUE(form.VerdictState(Verdict::LaggingSize).visible);
    EXPECT_NE(form.LabelState(Label::LaggingSize).text.find("inch steel plate"), std::string::npos);
    // Lagging belongs to soldier beams only.
    ASSERT_TRUE(Choose(List::PileType, "Tangent Pile").ok());
    EXPECT_FALSE(form.SectionState(Section::LaggingInput).visible);
    EXPECT_FALSE(form.SectionState(Section::LaggingResult).visible);
    EXPECT_FALSE(form.VerdictState(Verdict::LaggingSize).visible);
}

TEST_F(MainForm, UnitSwitchIgnoresADisplayFailure)
{
    // Built-in defaults: shown as they stand the analysis fails (no passive safety factor);
    // the recalculation of the switch reads the bounded boxes and succeeds.
    project.NewProject(true);
    ASSERT_TRUE(form.AfterNew().ok());
    project.PassiveSafetyFactor = 0;
    const TCommitResult r = form.ChooseListItem(List::Units, 1);
    EXPECT_TRUE(r.ok()) << r.error.value_or("");
    EXPECT_EQ(project.Units, TUnitSystem::usSI);
    EXPECT_NEAR(static_cast<double>(project.PassiveSafetyFactor), 1.33, 1e-12);
}

TEST_F(MainForm, UserSheetPileSectionThroughTheForm)
{
    TUserSheetForm sheet;
    TSteelShape shape;
    shape.d = 55.94L;
    shape.Ix = 11500;
    sheet.Load(shape, true);
    EXPECT_EQ(sheet.Unit(TUserSheetForm::fWidth), "cm");
    EXPECT_EQ(sheet.Unit(TUserSheetForm::fIx), "cm^4");
    EXPECT_EQ(sheet.Text(TUserSheetForm::fWidth, {}), "55.94");
    // Typed text is read as the boxes read it: separators dropped, letters as 0.
    sheet.SetText(TUserSheetForm::fWidth, "1,234.5", {});
    sheet.SetText(TUserSheetForm::fSx, "abc", {});
    EXPECT_EQ(sheet.Section().d, 1234.5L);
    EXPECT_EQ(sheet.Section().Sx, 0);
    EXPECT_EQ(sheet.Section().Ix, 11500);

    // Confirmed, it becomes the user section of a sheet pile wall, which is analysed with it.
    ASSERT_TRUE(Choose(List::PileType, "Sheet Pile").ok());
    const auto& sections = form.ListState(List::SectionSize).items;
    ASSERT_TRUE(form.ChooseListItem(List::SectionSize, static_cast<int>(sections.size()) - 1).ok());
    form.SetModified(false);
    const std::string before = Text(Box::ResMaxDeflection);
    TSteelShape stiff = project.GetSection();
    stiff.Ix *= 4;
    ASSERT_TRUE(form.SetUserSection(stiff).ok());
    EXPECT_EQ(project.UserSection.Ix, stiff.Ix);
    EXPECT_TRUE(form.Modified());
    EXPECT_NE(Text(Box::ResMaxDeflection), before);
}
