#include <gtest/gtest.h>

#include "form/MainForm.h"
#include "form/Study.h"
#include "support/OpenWall.h"

using namespace tw;
using namespace tw::form;
using tw::test::OpenWallAs;

TEST(Study, EachStepIsTheSingleAnalysisAtThatValue)
{
    const auto wall = OpenWallAs(false);
    const std::vector<TStudyStep> study = RunStudy(*wall.project, Box::ShoredHeight, 10, 30, 6);
    ASSERT_EQ(study.size(), 6u);
    for (const TStudyStep& step : study) {
        // The same value typed into the window's box and committed.
        auto single = OpenWallAs(false);
        single.form->EditBox(Box::ShoredHeight, step.input);
        ASSERT_TRUE(single.form->Commit().ok());
        ASSERT_TRUE(step.analysed);
        EXPECT_EQ(step.embedment, single.project->EmbedmentDepth) << step.input;
        EXPECT_EQ(step.totalLength, single.project->TotalPileLength);
        EXPECT_EQ(step.topDeflection, single.project->TopDeflection);
        EXPECT_EQ(step.checks.passes, SummarizeChecks(*single.form).passes);
    }
    // Across the failing region: the beam carries the low walls, not the high ones.
    EXPECT_TRUE(study.front().checks.passes);
    EXPECT_FALSE(study.back().checks.passes);
    EXPECT_EQ(study.back().checks.governing, "Moment");
    // The study leaves the project alone.
    EXPECT_EQ(wall.project->ShoredHeight, 15);
}

TEST(Study, InputsAreFoundAndHeldToTheirLimits)
{
    EXPECT_EQ(FindStudyInput("ShoredHeight"), Box::ShoredHeight);
    EXPECT_EQ(FindStudyInput("soil friction angle"), Box::BackfillPhi);
    EXPECT_EQ(FindStudyInput("Pile Spacing, S"), Box::PileSpacing);
    EXPECT_FALSE(FindStudyInput("ResMaxShear").has_value()) << "results are not inputs";
    EXPECT_FALSE(FindStudyInput("BeamDiagonal").has_value()) << "read-only";
    // A value beyond the box's limit is taken at the limit, as the window does.
    const auto wall = OpenWallAs(false);
    const auto study = RunStudy(*wall.project, Box::BackfillPhi, 30, 1000, 2);
    EXPECT_NE(study.back().input, "1000.0");
}

// A step where a check fails carries that check's utilization (above 100 %), so that a plot of
// the governing utilization keeps the failing steps.
TEST(Study, FailingStepsKeepTheUtilizationOfTheFailingCheck)
{
    const auto wall = OpenWallAs(false);
    for (const TStudyStep& step : RunStudy(*wall.project, Box::ShoredHeight, 16, 30, 3)) {
        ASSERT_TRUE(step.analysed);
        ASSERT_FALSE(step.checks.passes) << step.input;
        EXPECT_GT(step.checks.utilization, 100) << step.input << " " << step.checks.governing;
    }
}
