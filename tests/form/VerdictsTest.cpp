// One answer everywhere: the window's marks, the report's red rows and the check summary of the
// section search, studies and `summary` all come from the engine's one list of verdicts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/Verdicts.h"
#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/ReportRows.h"
#include "support/RandomWalls.h"
#include "support/TestWalls.h"

using namespace tw;
using namespace tw::form;

namespace {

// A 1.2 m tied pier of nine 25 mm bars, 13 mm ties, 74.1 mm cover: the calculated spacing is
// 16 db = 406.4 mm, which the stored 80-bit value misses by its last bit.
TTWData Pier1200()
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(true), p);
    p.Reinforcement = TReinforcement::rfRebarCage;
    p.InstallMethod = TInstallMethod::imDrilled;
    p.ApplySelectionRules();
    p.PileWidth = 1.2L;
    p.PileSpacing = 2.4L;
    p.RebarStandard = TRebarStandard::rsUS;
    p.LoadRebarTable();
    p.VerticalBarSize = 25;
    p.TieBarSize = 13;
    p.BarCount = 9;
    p.ClearCover = 74.1L;
    p.TieType = TTieType::ttTie;
    p.TieSpacingOverride = 0;
    return p;
}

bool AnyFailingReportRow(const TMainForm& form)
{
    for (const TReportPanel& panel : ReportInputPanels(form))
        for (const TReportRow& row : panel.rows)
            if (row.failing)
                return true;
    return false;
}

} // namespace

// Over generated walls of every kind, the marks the window shows, the summary the section
// search and `summary` use, and the engine's list agree check by check.
TEST(Verdicts, WindowMarksAndSummariesFollowTheEngineList)
{
    const std::string english = test::ExampleProjectJson(false);
    const std::string si = test::ExampleProjectJson(true);
    std::mt19937 rng(24);
    int analysed = 0, failing = 0;
    for (int k = 0; k < 300; ++k) {
        TTWData p = test::RandomWall(rng, english, si);
        TMainForm form(p);
        if (!form.AfterOpen().ok())
            continue;
        ++analysed;
        const TVerdicts verdicts = WallVerdicts(p);
        for (int i = 0; i < kVerdictCount; ++i) {
            const auto v = static_cast<Verdict>(i);
            const TVerdict& engine = verdicts[EngineCheck(v)];
            ASSERT_EQ(form.VerdictState(v).visible, engine.applies) << k << " " << engine.key;
            if (engine.applies) {
                ASSERT_EQ(form.VerdictState(v).pass, engine.passes) << k << " " << engine.key;
            }
        }
        const TCheckSummary summary = SummarizeChecks(form);
        ASSERT_EQ(summary.passes, verdicts.AllPass()) << k;
        failing += summary.passes ? 0 : 1;
    }
    // The walls must exercise both answers.
    EXPECT_GT(analysed, 200);
    EXPECT_GT(failing, 20);
    EXPECT_LT(failing, analysed);
}

TEST(Verdicts, TieSpacingEqualToTheCalculatedOneAsShownPasses)
{
    TTWData p = Pier1200();
    TMainForm form(p);
    ASSERT_TRUE(form.AfterOpen().ok());
    EXPECT_EQ(form.BoxState(Box::TieSpacingCalculated).text, "406.4");
    EXPECT_EQ(p.RebarCageResults.SpacingMessage, "Spacing Good");
    EXPECT_TRUE(WallVerdicts(p)[TCheckId::TieSpacing].passes);

    // 406.44 shows as 406.4 and passes; 406.5 fails, and the message is a failed check
    // everywhere: the window's mark and red text, the summary and the report's red row.
    const struct
    {
        const char* typed;
        bool passes;
    } cases[] = {{"406.44", true}, {"406.5", false}};
    for (const auto& c : cases) {
        TTWData q = Pier1200();
        TMainForm f(q);
        ASSERT_TRUE(f.AfterOpen().ok());
        f.EditBox(Box::TieSpacingOverride, c.typed);
        ASSERT_TRUE(f.Commit().ok()) << c.typed;
        EXPECT_EQ(f.VerdictState(Verdict::TieSpacing).pass, c.passes) << c.typed;
        EXPECT_EQ(f.LabelState(Label::SpacingMessage).red, !c.passes) << c.typed;
        EXPECT_EQ(SummarizeChecks(f).passes, c.passes && WallVerdicts(q).AllPass()) << c.typed;
        EXPECT_EQ(AnyFailingReportRow(f), !c.passes) << c.typed;
    }
}
